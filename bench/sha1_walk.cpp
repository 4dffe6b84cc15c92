#include "sha1_walk.h"

#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>

#include "actions/process_folder.h"
#include "app/headless_view.h"
#include "app/startup.h"
#include "identify/number_text.h"
#include "platform/hash.h"
#include "romdb/rom_database.h"
#include "timing.h"

namespace fs = std::filesystem;

namespace cartidex::bench {

namespace {

std::string Sha1Hex(const std::string& data) {
  Hasher hasher(HashKind::kSha1);
  Digest digest;
  if (!hasher.Update(data.data(), data.size()) || !hasher.Finish(&digest)) std::abort();
  std::string hex;
  for (uint8_t byte : digest.view()) hex += FormatHex8(byte).substr(6);
  return hex;
}

// A ClrMamePro DAT with one game per file of `files`, each ROM with its SHA-1.
void WriteSha1Dat(const std::string& files, const std::string& path) {
  fs::create_directories(fs::path(path).parent_path());
  std::string text = "clrmamepro ( name \"Bench Sha1\" )\n";
  for (const auto& e : fs::directory_iterator(files)) {
    std::ifstream in(e.path(), std::ios::binary);
    const std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const uint32_t crc = static_cast<uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
    const std::string name = e.path().stem().string();
    text += "game ( name \"" + name + "\" rom ( name \"" + name + ".bin\" size " +
            std::to_string(data.size()) + " crc " + FormatHex8(crc) + " sha1 " + Sha1Hex(data) +
            " ) )\n";
  }
  std::ofstream(path, std::ios::binary) << text;
}

}  // namespace

Sha1WalkTimes MeasureSha1Walk(const Fixture& f, int runs) {
  const std::string sha1_home = f.root + "/sha1-home";
  const std::string dat = sha1_home + "/datfiles/sha1.dat";
  if (!fs::exists(dat)) WriteSha1Dat(f.files, dat);
  fs::create_directories(sha1_home + "/tmp");
  // Both databases stay loaded; a walk swaps in the one it needs, which costs no reading.
  Startup(sha1_home);
  RomDatabase sha1_db = std::move(Database());
  Shutdown();
  Startup(f.home);
  HeadlessView view;
  const std::string sha1sum = "find '" + f.files + "' -type f -exec sha1sum {} + > /dev/null";
  auto t = InterleavedMedians(runs, {[&] { ProcessFolder(&view, f.files, {}); },
                                     [&] {
                                       std::swap(Database(), sha1_db);
                                       ProcessFolder(&view, f.files, {});
                                       std::swap(Database(), sha1_db);
                                     },
                                     [&] {
                                       if (std::system(sha1sum.c_str()) != 0) {
                                         std::fprintf(stderr, "failed: %s\n", sha1sum.c_str());
                                       }
                                     }});
  Shutdown();
  return Sha1WalkTimes{t[0], t[1], t[2]};
}

}  // namespace cartidex::bench
