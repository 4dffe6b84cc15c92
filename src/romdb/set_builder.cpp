#include "romdb/set_builder.h"

#include <string>

#include "platform/activity_log.h"
#include "romdb/rom_database.h"

namespace cartidex {

const char* CheckSetExact(const RomDatabase& db, std::string_view set_name,
                          std::span<const ParsedRom> roms, std::string_view system) {
  if (const char* reason = CheckSetTexts(set_name.size(), roms, system)) return reason;
  return CheckRoom(db, roms.size());
}

const char* AddCheckedSetExact(RomDatabase* db, std::string_view set_name,
                               std::span<const ParsedRom> roms, std::string_view system) {
  if (const char* reason = CheckSetExact(*db, set_name, roms, system)) return reason;
  // A set without ROMs names no system: the system table only learns systems that ROMs use.
  db->AddCheckedRomsAndSet(set_name, {}, roms, roms.empty() ? 0 : db->InternSystem(system));
  return nullptr;
}

void LogSkippedLine(uint64_t line, const char* reason) {
  std::string text = " ! Line " + std::to_string(line) + " skipped: " + reason + "\r\n";
  WriteLog(text);
}

}  // namespace cartidex
