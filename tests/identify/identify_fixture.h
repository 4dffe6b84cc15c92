// What the identification tests share: a program folder, a database of the tests' own ROMs, and
// a dialog without a window whose five result fields can be read back.
#ifndef CARTIDEX_TESTS_IDENTIFY_IDENTIFY_FIXTURE_H_
#define CARTIDEX_TESTS_IDENTIFY_IDENTIFY_FIXTURE_H_

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/headless_view.h"
#include "identify/identify_file.h"
#include "identify/session_state.h"
#include "platform/dialog_view.h"
#include "romdb/rom_database.h"
#include "support/fault_env.h"
#include "support/test_util.h"

namespace cartidex::test {

class IdentifyTest : public ::testing::Test {
 protected:
  // Adds the set `name`.zip of the ROMs {name, contents}, all of `system`, and gives its index.
  int32_t AddSet(const std::string& name, const std::string& system,
                 const std::vector<std::pair<std::string, std::string>>& roms) {
    std::vector<ParsedRom> parsed;
    for (const auto& [rom, contents] : roms) {
      parsed.push_back({rom, static_cast<uint32_t>(contents.size()), Crc32(contents)});
    }
    EXPECT_EQ(Database().AddSet(name, parsed, system), nullptr);
    return static_cast<int32_t>(Database().GetSetCount()) - 1;
  }
  bool Show(const std::string& path) { return IdentifyAndShow(&view_, path, &result_); }
  bool Owned(int32_t set) const { return Database().GetSet(static_cast<uint32_t>(set)).owned; }
  bool Found(int32_t set) const { return Database().GetSet(static_cast<uint32_t>(set)).found[0]; }
  // The five result fields: Filename, Name, System, CRC32, Size.
  std::vector<std::string> Fields() {
    std::vector<std::string> fields;
    for (int id : {kIdFilenameField, kIdNameField, kIdSystemField, kIdCrcField, kIdSizeField}) {
      fields.push_back(view_.GetText(id));
    }
    return fields;
  }

  TestHome home_;
  HeadlessView view_;
  RomRecord result_;
};

}  // namespace cartidex::test

#endif  // CARTIDEX_TESTS_IDENTIFY_IDENTIFY_FIXTURE_H_
