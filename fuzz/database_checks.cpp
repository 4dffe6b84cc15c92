#include "database_checks.h"

#include <cstdint>

#include "fuzz_sandbox.h"
#include "romdb/rom_database.h"
#include "romdb/set_limits.h"

namespace cartidex::fuzz {

void CheckDatabase(const RomDatabase& db) {
  Check(db.GetRomCount() <= kMaxRoms, "ROM count over the capacity");
  Check(db.GetSetCount() <= kMaxSets, "set count over the capacity");
  uint32_t roms_in_sets = 0;
  for (uint32_t s = 0; s < db.GetSetCount(); ++s) {
    const SetRecord& set = db.GetSet(s);
    Check(set.rom_count() <= kMaxRomsPerSet, "set over 128 ROMs");
    Check(set.found.size() == set.rom_indices.size(), "found flags do not match the ROMs");
    Check(set.archive_name.size() <= kMaxText && set.archive_name.ends_with(".zip"),
          "bad archive name");
    Check(set.display_name == set.archive_name, "display name differs from archive name");
    Check(!set.owned, "a fresh load owns a set");
    for (int32_t slot = 0; slot < set.rom_count(); ++slot) {
      int32_t r = set.rom_indices[static_cast<size_t>(slot)];
      Check(r >= 0 && static_cast<uint32_t>(r) < db.GetRomCount(), "ROM index out of range");
      RomRecord rom = db.GetRom(static_cast<uint32_t>(r));
      Check(rom.set_index == static_cast<int32_t>(s) && rom.slot == slot,
            "ROM does not point back at its set and slot");
    }
    roms_in_sets += static_cast<uint32_t>(set.rom_count());
  }
  // Sets are added all or nothing, so no ROM is left without its set.
  Check(roms_in_sets == db.GetRomCount(), "ROMs left without a set");
  for (uint32_t r = 0; r < db.GetRomCount(); ++r) {
    Check(db.RomName(r).size() <= kMaxText, "ROM name over 127 bytes");
    Check(db.RomSystem(r).size() <= kMaxText, "system over 127 bytes");
  }
  // The last ROM is found by its CRC-32 and size (a search from 0 goes all the way round).
  if (db.GetRomCount() > 0) {
    RomRecord last = db.GetRom(db.GetRomCount() - 1);
    bool found = false;
    uint32_t index = 0;
    RomRecord hit = db.FindRom(last.crc, last.size, &found, &index);
    Check(found && hit.crc == last.crc && hit.size == last.size, "a loaded ROM is not found");
  }
}

size_t CheckRefusalLog(std::string_view log, bool cut, LineOrder order, uint64_t system_line) {
  const std::string_view reasons[] = {kTooManyRoms,  kMissingFields, kTextTooLong,
                                      kRomTableFull, kSetTableFull,  kBadNumber};
  uint64_t previous = 0;
  size_t lines = 0;
  bool first = true;
  while (!log.empty()) {
    size_t end = log.find("\r\n");
    if (end == std::string_view::npos) {
      Check(cut, "log line without its end");
      Check(!first || system_line == 0, "the system's refusal is missing");
      return lines;
    }
    std::string_view line = log.substr(0, end);
    log.remove_prefix(end + 2);
    constexpr std::string_view kHead = " ! Line ";
    Check(line.starts_with(kHead), "unexpected log line");
    line.remove_prefix(kHead.size());
    uint64_t number = 0;
    size_t digits = 0;
    while (digits < line.size() && line[digits] >= '0' && line[digits] <= '9') {
      number = number * 10 + static_cast<uint64_t>(line[digits++] - '0');
    }
    Check(digits > 0 && number > 0, "no line number");
    line.remove_prefix(digits);
    constexpr std::string_view kMid = " skipped: ";
    Check(line.starts_with(kMid), "malformed refusal line");
    line.remove_prefix(kMid.size());
    bool known = false;
    for (std::string_view r : reasons) known = known || line == r;
    Check(known, "unknown refusal reason");
    if (first && system_line != 0) {
      Check(number == system_line && line == kTextTooLong, "the system's refusal is not first");
      first = false;
      continue;
    }
    first = false;
    if (order == LineOrder::kRising) {
      Check(number > previous, "line numbers do not rise");
    } else {
      Check(number >= previous, "line numbers fall");
    }
    previous = number;
    ++lines;
  }
  Check(!first || system_line == 0, "the system's refusal is missing");
  return lines;
}

}  // namespace cartidex::fuzz
