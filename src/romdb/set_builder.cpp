#include "romdb/set_builder.h"

#include <string>

#include "platform/activity_log.h"
#include "romdb/rom_database.h"

namespace cartidex {

namespace {

const char* CheckSetOfNameSize(const RomDatabase& db, size_t set_name_size,
                               std::span<const ParsedRom> roms, std::string_view system) {
  if (roms.size() > static_cast<size_t>(kMaxRomsPerSet)) return kTooManyRoms;
  if (system.size() > kMaxText || set_name_size > kMaxText) return kTextTooLong;
  for (const ParsedRom& rom : roms) {
    if (rom.name.size() > kMaxText) return kTextTooLong;
  }
  if (db.GetRomCount() + roms.size() > kMaxRoms) return kRomTableFull;
  if (db.GetSetCount() >= kMaxSets) return kSetTableFull;
  return nullptr;
}

}  // namespace

const char* CheckSet(const RomDatabase& db, std::string_view name, std::span<const ParsedRom> roms,
                     std::string_view system) {
  return CheckSetOfNameSize(db, SetNameStem(name).size() + kSetSuffix.size(), roms, system);
}

const char* AddCheckedSet(RomDatabase* db, std::string_view name, std::span<const ParsedRom> roms,
                          std::string_view system) {
  const std::string_view stem = SetNameStem(name);
  if (const char* reason = CheckSetOfNameSize(*db, stem.size() + kSetSuffix.size(), roms, system)) {
    return reason;
  }
  db->AddCheckedRomsAndSet(stem, kSetSuffix, roms, system);
  return nullptr;
}

const char* CheckSetExact(const RomDatabase& db, std::string_view set_name,
                          std::span<const ParsedRom> roms, std::string_view system) {
  return CheckSetOfNameSize(db, set_name.size(), roms, system);
}

const char* AddCheckedSetExact(RomDatabase* db, std::string_view set_name,
                               std::span<const ParsedRom> roms, std::string_view system) {
  if (const char* reason = CheckSetExact(*db, set_name, roms, system)) return reason;
  db->AddCheckedRomsAndSet(set_name, {}, roms, system);
  return nullptr;
}

void LogSkippedLine(uint64_t line, const char* reason) {
  std::string text = " ! Line " + std::to_string(line) + " skipped: " + reason + "\r\n";
  WriteLog(text);
}

}  // namespace cartidex
