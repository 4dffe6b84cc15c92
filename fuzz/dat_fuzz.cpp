// Arbitrary bytes as a DAT, the way a ".dat" or ".xml" file of the datfiles folder is loaded:
// recognised by its contents (Logiqx XML, software list or ClrMamePro text), read whole and added
// to a fresh database. Besides the sanitizers' findings and the database checks of every
// datafile target, it fails when a file that is refused leaves log lines, when the log holds
// anything but well-formed refusal lines in file order, or when the sets added and the games
// refused do not account for every game with a kept ROM, each set holding its game's ROMs under
// the DAT's system.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "database_checks.h"
#include "fuzz_sandbox.h"
#include "romdb/dat_file.h"
#include "romdb/rom_database.h"

namespace cartidex {
namespace {

using fuzz::Check;

// True when set `s` is game `g` as added: its name, then its kept ROMs in order.
bool SetIsGame(const RomDatabase& db, uint32_t s, const DatFile& dat, const DatGame& g) {
  const SetRecord& set = db.GetSet(s);
  if (set.archive_name != std::string(g.name) + ".zip") return false;
  std::span<const ParsedRom> roms = dat.roms(g);
  if (static_cast<size_t>(set.rom_count()) != roms.size()) return false;
  for (size_t i = 0; i < roms.size(); ++i) {
    const uint32_t r = static_cast<uint32_t>(set.rom_indices[i]);
    RomRecord rom = db.GetRom(r);
    if (db.RomName(r) != roms[i].name || rom.crc != roms[i].crc || rom.size != roms[i].size) {
      return false;
    }
  }
  return true;
}

// Every game with a kept ROM became the next set or one refusal line; games without one add
// nothing and log nothing.
void CheckGamesAccounted(const RomDatabase& db, const DatFile& dat, size_t refusals) {
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
  Check(next_set == db.GetSetCount(), "a set that is no game of the DAT");
  Check(refused == refusals, "games refused without a log line, or lines for no game");
  for (uint32_t r = 0; r < db.GetRomCount(); ++r) {
    Check(db.RomSystem(r) == dat.system(), "a ROM not under the DAT's system");
  }
}

}  // namespace
}  // namespace cartidex

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace cartidex;
  fuzz::EnterSandbox();
  fuzz::TakeLog();
  // The reader parses in place and the DatFile points into the text: it outlives both.
  std::string contents(reinterpret_cast<const char*>(data), size);
  DatFile dat;
  RomDatabase db;
  const bool read = ReadDat(&contents, &dat);
  if (read) AddDatFile(dat, &db);
  bool cut = false;
  std::string log = fuzz::TakeLog(&cut);
  if (!read) {
    fuzz::Check(log.empty(), "a refused DAT logged lines");
    fuzz::Check(db.GetSetCount() == 0 && db.GetRomCount() == 0,
                "a refused DAT added to the database");
    return 0;
  }
  const size_t refusals =
      fuzz::CheckRefusalLog(log, cut, fuzz::LineOrder::kNeverFalling, dat.refused_system_line());
  fuzz::CheckDatabase(db);
  if (!cut) CheckGamesAccounted(db, dat, refusals);
  return 0;
}
