// What the identification tests share: a program folder, a database filled from the tests' own
// ROMs, and a dialog without a window whose five result fields can be read back.
#ifndef CARTIDEX_TESTS_IDENTIFY_IDENTIFY_FIXTURE_H_
#define CARTIDEX_TESTS_IDENTIFY_IDENTIFY_FIXTURE_H_

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app/headless_view.h"
#include "identify/identify_file.h"
#include "platform/dialog_view.h"
#include "romdb/rom_database.h"
#include "support/test_util.h"

namespace cartidex::test {

struct TestRom {
  std::string name;
  std::string contents;
};

class IdentifyTest : public ::testing::Test {
 protected:
  // Adds the set `name`.zip of the ROMs `roms`, all of `system`, and gives its index.
  int32_t AddSet(const std::string& name, const std::string& system,
                 const std::vector<TestRom>& roms) {
    std::vector<ParsedRom> parsed;
    for (const TestRom& rom : roms) {
      parsed.push_back({rom.name, static_cast<uint32_t>(rom.contents.size()), Crc32(rom.contents)});
    }
    EXPECT_EQ(Database().AddSet(name + ".zip", parsed, system), nullptr);
    return static_cast<int32_t>(Database().GetSetCount()) - 1;
  }
  // Adds a ROM by its numbers alone, as a one-ROM set.
  int32_t AddRomNumbers(const std::string& name, const std::string& system, uint32_t crc,
                        uint32_t size) {
    const ParsedRom rom{name, size, crc};
    EXPECT_EQ(Database().AddSet(name + ".zip", std::span(&rom, 1), system), nullptr);
    return static_cast<int32_t>(Database().GetSetCount()) - 1;
  }

  bool Show(const std::string& path) { return IdentifyAndShow(&view_, path, &result_); }

  // The five result fields: Filename, Name, System, CRC32, Size.
  std::vector<std::string> Fields() {
    std::vector<std::string> fields;
    for (int id : {kIdFilenameField, kIdNameField, kIdSystemField, kIdCrcField, kIdSizeField}) {
      fields.push_back(view_.GetText(id));
    }
    return fields;
  }

  static std::vector<std::string> Five(const std::string& text) {
    return std::vector<std::string>(5, text);
  }

  TestHome home_;
  HeadlessView view_;
  RomRecord result_;
};

}  // namespace cartidex::test

#endif  // CARTIDEX_TESTS_IDENTIFY_IDENTIFY_FIXTURE_H_
