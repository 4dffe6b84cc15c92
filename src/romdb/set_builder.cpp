#include "romdb/set_builder.h"

#include <string>
#include <vector>

#include "platform/activity_log.h"
#include "romdb/rom_database.h"

namespace cartidex {

const char* CheckSet(const RomDatabase& db, std::string_view name, std::span<const ParsedRom> roms,
                     std::string_view system) {
  return CheckSetExact(db, FormSetName(name), roms, system);
}

const char* AddCheckedSet(RomDatabase* db, std::string_view name, std::span<const ParsedRom> roms,
                          std::string_view system) {
  // One buffer for every set of a load: set names are often past the small-string room.
  thread_local std::string set_name;
  FormSetName(name, &set_name);
  return AddCheckedSetExact(db, set_name, roms, system);
}

const char* CheckSetExact(const RomDatabase& db, std::string_view set_name,
                          std::span<const ParsedRom> roms, std::string_view system) {
  if (roms.size() > static_cast<size_t>(kMaxRomsPerSet)) return kTooManyRoms;
  if (system.size() > kMaxText || set_name.size() > kMaxText) return kTextTooLong;
  for (const ParsedRom& rom : roms) {
    if (rom.name.size() > kMaxText) return kTextTooLong;
  }
  if (db.GetRomCount() + roms.size() > kMaxRoms) return kRomTableFull;
  if (db.GetSetCount() >= kMaxSets) return kSetTableFull;
  return nullptr;
}

const char* AddCheckedSetExact(RomDatabase* db, std::string_view set_name,
                               std::span<const ParsedRom> roms, std::string_view system) {
  if (const char* reason = CheckSetExact(*db, set_name, roms, system)) return reason;
  db->AddCheckedRomsAndSet(set_name, roms, system);
  return nullptr;
}

void LogSkippedLine(uint64_t line, const char* reason) {
  std::string text = " ! Line " + std::to_string(line) + " skipped: " + reason + "\r\n";
  WriteLog(text);
}

}  // namespace cartidex
