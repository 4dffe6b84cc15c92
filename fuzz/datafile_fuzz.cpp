// The own datafile parser on arbitrary bytes, into a fresh database.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz_support.h"
#include "romdb/datafile_loader.h"
#include "romdb/rom_database.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace cartidex;
  fuzz::EnterSandbox();
  fuzz::TakeLog();
  RomDatabase db;
  ParseOwnDatafile(std::string_view(reinterpret_cast<const char*>(data), size), &db);
  fuzz::CheckRefusalLog(fuzz::TakeLog(), /*may_repeat=*/false);
  fuzz::CheckDatabase(db);
  return 0;
}
