// The own datafile parser on arbitrary bytes, into a fresh database.
#include "fuzz_support.h"
#include "romdb/datafile_loader.h"
#include "romdb/rom_database.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace cartidex;
  fuzz::EnterSandbox();
  fuzz::TakeLog();
  RomDatabase db;
  ParseOwnDatafile(fuzz::Text(data, size), &db);
  fuzz::CheckRefusalLog(fuzz::TakeLog(), /*rising=*/true);
  fuzz::CheckDatabase(db);
  return 0;
}
