#include "romdb/own_text_parse.h"

#include "romdb/own_line_reader.h"
#include "romdb/parse_hex.h"
#include "romdb/rom_database.h"
#include "romdb/set_builder.h"

namespace cartidex {

OwnTextEnd ParseOwnText(std::string_view text, const OwnTextStart& start, RomDatabase* db,
                        std::vector<OwnRefusal>* refused) {
  OwnLineReader reader(text, start.file_start);
  std::string_view system = start.system;
  uint32_t system_id = kNoIndex;  // learnt by the database with the first set that has ROMs
  std::vector<ParsedRom> roms;
  // The reader checked the set's texts; the room left in the tables is checked here.
  auto add_set = [&](const OwnLine& line, std::span<const OwnRomFields> fields) -> const char* {
    if (const char* reason = CheckRoom(*db, fields.size())) return reason;
    roms.clear();
    for (const OwnRomFields& rom : fields) {
      roms.push_back({rom.name, ReadSizeField(rom.size, text), ParseHex(rom.crc)});
    }
    if (!roms.empty() && system_id == kNoIndex) system_id = db->InternSystem(system);
    db->AddCheckedRomsAndSet(line.text, kSetSuffix, roms, system_id);
    return nullptr;
  };
  OwnBatch batch;
  while (reader.Next(&batch)) {
    for (const OwnLine& line : batch.lines) {
      const char* reason = line.reason;
      if (line.kind == OwnLine::Kind::kSystem) {
        system = line.text;
        system_id = kNoIndex;
      } else if (line.kind == OwnLine::Kind::kSet) {
        reason = add_set(
            line,
            std::span<const OwnRomFields>(batch.roms).subspan(line.first_rom, line.rom_count));
      }
      if (reason == nullptr) continue;
      const uint64_t number = start.lines_before + line.number;
      if (refused != nullptr) {
        refused->push_back({number, reason});
      } else {
        LogSkippedLine(number, reason);
      }
    }
  }
  return {reader.lines(), reader.stopped(), system};
}

}  // namespace cartidex
