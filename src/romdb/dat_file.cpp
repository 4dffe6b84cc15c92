#include "romdb/dat_file.h"

#include "romdb/dat_numbers.h"
#include "romdb/rom_database.h"

namespace cartidex {

void DatFile::SetSystem(std::string_view system, uint64_t line) {
  if (system.size() > kMaxText) {
    refused_system_line_ = line;
    return;
  }
  system_.assign(system);
}

void DatFile::Reserve(size_t games, size_t roms) {
  games_.reserve(games);
  roms_.reserve(roms);
}

void DatFile::BeginGame(std::string_view name, uint64_t line) {
  DatGame& g = games_.emplace_back();
  g.name = name;
  g.line = line;
  g.first_rom = static_cast<uint32_t>(roms_.size());
}

void DatFile::AddRom(const DatRomFields& rom) {
  if (games_.empty() || rom.nodump) return;
  if (!rom.name || rom.name->empty() || !rom.size || rom.size->empty() || !rom.crc ||
      rom.crc->empty()) {
    return;
  }
  DatGame& g = games_.back();
  ParsedRom& r = roms_.emplace_back();
  r.name = *rom.name;
  if (!ParseDatSize(*rom.size, &r.size) || !ParseDatCrc(*rom.crc, &r.crc)) g.bad_number = true;
  ++g.rom_count;
}

void AddDatFile(const DatFile& dat, RomDatabase* db) {
  if (dat.refused_system_line() != 0) LogSkippedLine(dat.refused_system_line(), kTextTooLong);
  std::string set_name;
  for (const DatGame& g : dat.games()) {
    if (g.rom_count == 0) continue;
    std::span<const ParsedRom> roms = dat.roms(g);
    const char* reason = nullptr;
    if (g.name.empty()) {
      reason = kMissingFields;
    } else {
      set_name.assign(g.name);
      set_name += ".zip";
      if (g.bad_number) {
        reason = CheckSetExact(*db, set_name, roms, dat.system());
        if (reason == nullptr) reason = kBadNumber;
      } else {
        reason = AddCheckedSetExact(db, set_name, roms, dat.system());
      }
    }
    if (reason != nullptr) LogSkippedLine(g.line, reason);
  }
}

}  // namespace cartidex
