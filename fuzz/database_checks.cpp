#include <algorithm>
#include <cstdint>
#include <iterator>

#include "fuzz_support.h"
#include "romdb/rom_database.h"
#include "romdb/set_limits.h"

namespace cartidex::fuzz {

void CheckDatabase(const RomDatabase& db) {
  Check(db.GetRomCount() <= kMaxRoms && db.GetSetCount() <= kMaxSets, "over a capacity");
  uint32_t roms_in_sets = 0;
  for (uint32_t s = 0; s < db.GetSetCount(); ++s) {
    const SetRecord set = db.GetSet(s);
    Check(set.rom_count() <= kMaxRomsPerSet, "set over 128 ROMs");
    Check(set.archive_name.size() <= kMaxText && set.archive_name.ends_with(".zip"),
          "bad archive name");
    for (int32_t slot = 0; slot < set.rom_count(); ++slot) {
      const int32_t r = set.rom_indices[static_cast<size_t>(slot)];
      Check(r >= 0 && static_cast<uint32_t>(r) < db.GetRomCount(), "ROM index out of range");
      const RomRecord rom = db.GetRom(static_cast<uint32_t>(r));
      Check(rom.set_index == static_cast<int32_t>(s) && rom.slot == slot,
            "ROM does not point back at its set and slot");
      Check(
          db.RomName(static_cast<uint32_t>(r)).size() <= kMaxText && rom.system.size() <= kMaxText,
          "ROM name or system over 127 bytes");
    }
    roms_in_sets += static_cast<uint32_t>(set.rom_count());
  }
  // Sets are added all or nothing; with the links back, every ROM was seen above.
  Check(roms_in_sets == db.GetRomCount(), "ROMs left without a set");
  // A search for the last ROM goes all the way round.
  if (db.GetRomCount() > 0) {
    const RomRecord last = db.GetRom(db.GetRomCount() - 1);
    bool found = false;
    uint32_t index = 0;
    const RomRecord hit = db.FindRom(last.crc, last.size, &found, &index);
    Check(found && hit.crc == last.crc && hit.size == last.size, "a loaded ROM is not found");
  }
}

size_t CheckRefusalLog(std::string_view log, bool may_repeat, uint64_t system_line) {
  const std::string_view reasons[] = {kTooManyRoms,  kMissingFields, kTextTooLong,
                                      kRomTableFull, kSetTableFull,  kBadNumber};
  uint64_t previous = 0;
  size_t lines = 0;
  bool system_seen = system_line == 0;
  while (!log.empty()) {
    const size_t end = log.find("\r\n");
    Check(end != std::string_view::npos && log.starts_with(" ! Line "), "malformed log line");
    std::string_view line = log.substr(8, end - 8);
    log.remove_prefix(end + 2);
    uint64_t number = 0;
    while (!line.empty() && line[0] >= '0' && line[0] <= '9') {
      number = number * 10 + static_cast<uint64_t>(line[0] - '0');
      line.remove_prefix(1);
    }
    Check(number > 0 && line.starts_with(" skipped: "), "malformed refusal line");
    line.remove_prefix(10);
    Check(std::find(std::begin(reasons), std::end(reasons), line) != std::end(reasons),
          "unknown refusal reason");
    if (!system_seen) {
      Check(number == system_line && line == kTextTooLong, "the system's refusal is not first");
      system_seen = true;
      continue;
    }
    Check(may_repeat ? number >= previous : number > previous, "line numbers out of order");
    previous = number;
    ++lines;
  }
  Check(system_seen, "the system's refusal is missing");
  return lines;
}

}  // namespace cartidex::fuzz
