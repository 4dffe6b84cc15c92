// The own datafile parser on arbitrary bytes, into a fresh database. Besides the sanitizers'
// findings, it fails when the database breaks a capacity or links a ROM to the wrong set, when a
// lookup misses a loaded ROM, or when the log holds anything but well-formed refusal lines in
// ascending line order.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "database_checks.h"
#include "fuzz_sandbox.h"
#include "romdb/datafile_loader.h"
#include "romdb/rom_database.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace cartidex;
  fuzz::EnterSandbox();
  fuzz::TakeLog();
  RomDatabase db;
  ParseOwnDatafile(std::string_view(reinterpret_cast<const char*>(data), size), &db);
  bool cut = false;
  std::string log = fuzz::TakeLog(&cut);
  fuzz::CheckRefusalLog(log, cut, fuzz::LineOrder::kRising);
  fuzz::CheckDatabase(db);
  return 0;
}
