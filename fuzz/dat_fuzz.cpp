// Arbitrary bytes as a ".dat"/".xml" DAT, read whole and added to a fresh database. A refused
// DAT adds and logs nothing; otherwise every game with a kept ROM becomes the next set (its name,
// its ROMs in order, under the DAT's system) or one refusal line, in file order.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "fuzz_support.h"
#include "romdb/dat_file.h"
#include "romdb/rom_database.h"

namespace cartidex {
namespace {

bool SetIsGame(const RomDatabase& db, uint32_t s, const DatFile& dat, const DatGame& g) {
  const SetRecord set = db.GetSet(s);
  std::span<const ParsedRom> roms = dat.roms(g);
  if (set.archive_name != std::string(g.name) + ".zip" || set.rom_indices.size() != roms.size()) {
    return false;
  }
  for (size_t i = 0; i < roms.size(); ++i) {
    const uint32_t r = static_cast<uint32_t>(set.rom_indices[i]);
    const RomRecord rom = db.GetRom(r);
    if (db.RomName(r) != roms[i].name || rom.crc != roms[i].crc || rom.size != roms[i].size ||
        db.RomSystem(r) != dat.system()) {
      return false;
    }
  }
  return true;
}

}  // namespace
}  // namespace cartidex

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace cartidex;
  fuzz::EnterSandbox();
  fuzz::TakeLog();
  // The DatFile points into the text, which outlives it.
  std::string contents(reinterpret_cast<const char*>(data), size);
  DatFile dat;
  RomDatabase db;
  const bool read = ReadDat(&contents, &dat);
  if (read) AddDatFile(dat, &db);
  const std::string log = fuzz::TakeLog();
  if (!read) {
    fuzz::Check(log.empty() && db.GetRomCount() == 0, "a refused DAT logged or added");
    return 0;
  }
  const size_t refusals =
      fuzz::CheckRefusalLog(log, /*may_repeat=*/true, dat.refused_system_line());
  fuzz::CheckDatabase(db);
  uint32_t next_set = 0;
  size_t refused = 0;
  for (const DatGame& g : dat.games()) {
    if (g.rom_count == 0) continue;
    if (next_set < db.GetSetCount() && !g.bad_number && SetIsGame(db, next_set, dat, g)) {
      ++next_set;
    } else {
      ++refused;
    }
  }
  fuzz::Check(next_set == db.GetSetCount() && refused == refusals,
              "the sets and refusal lines do not account for the games");
  return 0;
}
