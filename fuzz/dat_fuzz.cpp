// Arbitrary bytes as a ".dat"/".xml" DAT, read whole and added to a fresh database. A refused
// DAT adds and logs nothing; otherwise every game with a ROM becomes a set or one refusal line.
#include <string>

#include "fuzz_support.h"
#include "romdb/dat_file.h"
#include "romdb/rom_database.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace cartidex;
  fuzz::EnterSandbox();
  fuzz::TakeLog();
  std::string contents(fuzz::Text(data, size));  // the DatFile points into it
  DatFile dat;
  RomDatabase db;
  const bool read = ReadDat(&contents, &dat);
  if (read) AddDatFile(dat, &db);
  const std::string log = fuzz::TakeLog();
  if (!read) {
    fuzz::Check(log.empty() && db.GetRomCount() == 0, "a refused DAT logged or added");
    return 0;
  }
  const size_t refusals = fuzz::CheckRefusalLog(log, /*rising=*/false);
  fuzz::CheckDatabase(db);
  size_t games = dat.refused_system_line() != 0 ? 1 : 0;
  for (const DatGame& g : dat.games()) games += g.rom_count > 0 ? 1 : 0;
  fuzz::Check(games == db.GetSetCount() + refusals, "the sets and refusals miss some games");
  return 0;
}
