// Arbitrary bytes as a ".dat"/".xml" DAT, read whole and added to a fresh database. A refused
// DAT adds and logs nothing; otherwise every game with a ROM becomes a set or one refusal line.
#include <string>

#include "fuzz_support.h"
#include "romdb/dat_file.h"
#include "romdb/rom_database.h"

void cartidex::fuzz::FuzzOne(std::string_view input) {
  std::string contents(input);  // the DatFile points into it
  DatFile dat;
  RomDatabase db;
  const bool read = ReadDat(&contents, &dat);
  if (read) AddDatFile(dat, &db);
  const std::string log = TakeLog();
  if (!read) return Check(log.empty() && db.GetRomCount() == 0, "a refused DAT logged or added");
  // The system's refusal comes first whatever its line, so the numbers need not rise.
  const size_t refusals = CheckRefusalLog(log, /*rising=*/false);
  CheckDatabase(db);
  size_t games = dat.refused_system_line() != 0 ? 1 : 0;
  for (const DatGame& g : dat.games()) games += g.rom_count > 0 ? 1 : 0;
  Check(games == db.GetSetCount() + refusals, "the sets and refusals miss some games");
}
