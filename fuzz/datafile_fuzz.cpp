// The own datafile parser on arbitrary bytes, into a fresh database.
#include "fuzz_support.h"
#include "romdb/datafile_loader.h"
#include "romdb/rom_database.h"

void cartidex::fuzz::FuzzOne(std::string_view input) {
  RomDatabase db;
  ParseOwnDatafile(input, &db);
  CheckRefusalLog(TakeLog(), /*rising=*/true);
  CheckDatabase(db);
}
