// cartidex-bench: the figures of the performance targets, measured on data it builds itself.
// Prints a table, then one "NAME VALUE" line per figure. Timings are medians of several runs;
// every ratio compares two things measured in the same run, since the machine is shared.
#include <unzip.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "actions/process_file.h"
#include "actions/process_folder.h"
#include "app/headless_view.h"
#include "app/startup.h"
#include "fixture.h"
#include "platform/activity_log.h"
#include "platform/program_folder.h"
#include "romdb/datafile_loader.h"
#include "romdb/rom_database.h"
#include "timing.h"

namespace fs = std::filesystem;
using namespace cartidex;
using namespace cartidex::bench;

namespace {

// Reads a file and counts its lines: what loading a datafile cannot beat.
size_t ReadAndCountLines(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  size_t lines = 0;
  for (char c : data) lines += c == '\n';
  return lines;
}

uint32_t ReadAndCrc(const std::string& path, std::vector<char>* buffer) {
  std::ifstream in(path, std::ios::binary);
  uLong crc = crc32(0, nullptr, 0);
  while (in) {
    in.read(buffer->data(), static_cast<std::streamsize>(buffer->size()));
    crc = crc32(crc, reinterpret_cast<const Bytef*>(buffer->data()), static_cast<uInt>(in.gcount()));
  }
  return static_cast<uint32_t>(crc);
}

// minizip extracting every member into `out`, then reading each back with its CRC-32.
void ExtractAndRead(const std::string& archive, const std::string& out, std::vector<char>* buffer) {
  unzFile zf = unzOpen(archive.c_str());
  if (zf == nullptr) return;
  std::vector<std::string> written;
  for (int r = unzGoToFirstFile(zf); r == UNZ_OK; r = unzGoToNextFile(zf)) {
    char name[512];
    unz_file_info info;
    if (unzGetCurrentFileInfo(zf, &info, name, sizeof name, nullptr, 0, nullptr, 0) != UNZ_OK ||
        unzOpenCurrentFile(zf) != UNZ_OK) {
      break;
    }
    std::string path = out + "/" + name;
    std::ofstream file(path, std::ios::binary);
    int n;
    while ((n = unzReadCurrentFile(zf, buffer->data(), static_cast<unsigned>(buffer->size()))) > 0) {
      file.write(buffer->data(), n);
    }
    unzCloseCurrentFile(zf);
    written.push_back(path);
  }
  unzClose(zf);
  for (const std::string& path : written) {
    ReadAndCrc(path, buffer);
    fs::remove(path);
  }
}

// Runs this program again to measure start-up's peak memory in a fresh process.
double RssOfStartup(const char* self, const std::string& home) {
  std::string command = std::string("'") + self + "' --rss-probe '" + home + "'";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return -1;
  double mib = -1;
  if (std::fscanf(pipe, "%lf", &mib) != 1) mib = -1;
  pclose(pipe);
  return mib;
}

double Seconds(const std::string& command) {
  return MedianSeconds(3, [&] {
    if (std::system(command.c_str()) != 0) std::fprintf(stderr, "failed: %s\n", command.c_str());
  });
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--rss-probe") {
    Startup(argv[2]);
    std::printf("%.2f\n", PeakRssMib());
    DeleteLog();
    return 0;
  }
  std::fprintf(stderr, "building the data...\n");
  Fixture f = MakeFixture();
  std::map<std::string, double> figures;
  std::vector<std::pair<std::string, std::string>> table;

  // Loading the full datafile.
  SetProgramFolder(f.home);
  double load = MedianSeconds(5, [] { LoadDatafiles(); });
  double read = MedianSeconds(5, [&] { ReadAndCountLines(f.datafile); });
  figures["load_ratio"] = load / read;
  table.push_back({"load 131072 roms", std::to_string(load * 1e3) + " ms"});

  // The largest collectors' DAT at hand.
  const std::string mame = std::string(CARTIDEX_SHARED_DATA) + "/MAME 2000 XML.dat";
  if (fs::exists(mame)) {
    std::string dat_home = f.root + "/dat-home";
    fs::create_directories(dat_home + "/datfiles");
    fs::copy_file(mame, dat_home + "/datfiles/mame.dat");
    SetProgramFolder(dat_home);
    double dat_load = MedianSeconds(5, [] { LoadDatafiles(); });
    double dat_read = MedianSeconds(5, [&] { ReadAndCountLines(dat_home + "/datfiles/mame.dat"); });
    figures["dat_load_ratio"] = dat_load / dat_read;
    table.push_back({"load MAME 2000 XML.dat", std::to_string(dat_load * 1e3) + " ms"});
    SetProgramFolder(f.home);
    LoadDatafiles();
  }

  // Lookups on the full table.
  RomDatabase& db = Database();
  const RomRecord present_rom = db.GetRom(db.GetRomCount() / 2);
  for (bool present : {true, false}) {
    const int kCalls = 200000;
    double t = MedianSeconds(5, [&] {
      bool found = false;
      for (int i = 0; i < kCalls; ++i) {
        uint32_t index = 0;
        db.FindRom(present ? present_rom.crc : 0x12345678u, present ? present_rom.size : 3u,
                   &found, &index);
      }
    });
    figures[present ? "lookup_us_present" : "lookup_us_absent"] = t / kCalls * 1e6;
  }

  // "Directory" over the 20,000 files, against reading them with their CRC-32.
  std::vector<char> buffer(1 << 16);
  HeadlessView view;
  Startup(f.home);
  double walk = MedianSeconds(3, [&] { ProcessFolder(&view, f.files); });
  double plain = MedianSeconds(3, [&] {
    for (const auto& e : fs::directory_iterator(f.files)) ReadAndCrc(e.path().string(), &buffer);
  });
  figures["walk_ratio"] = walk / plain;
  table.push_back({"walk 20000 files", std::to_string(walk) + " s"});
  double rhash = Seconds("rhash --crc32 -r '" + f.files + "' > /dev/null");
  figures["walk_vs_rhash"] = rhash / walk;
  table.push_back({"rhash --crc32 -r", std::to_string(rhash) + " s"});

  // Identifying the 200 archives, against minizip extracting and reading them back.
  std::vector<std::string> archives;
  for (const auto& e : fs::directory_iterator(f.archives)) archives.push_back(e.path().string());
  double ident = MedianSeconds(3, [&] {
    for (const std::string& a : archives) ProcessFile(a, &view);
  });
  std::string out = f.root + "/extract";
  fs::create_directories(out);
  double extract = MedianSeconds(3, [&] {
    for (const std::string& a : archives) ExtractAndRead(a, out, &buffer);
  });
  figures["archive_ratio"] = ident / extract;
  table.push_back({"identify 200 archives", std::to_string(ident) + " s"});
  Shutdown();

  figures["rss_empty_mib"] = RssOfStartup(argv[0], f.empty_home);
  figures["rss_full_mib"] = RssOfStartup(argv[0], f.home);
  RemoveFixture(f);

  std::printf("%-28s %s\n", "measure", "median");
  for (const auto& [what, value] : table) std::printf("%-28s %s\n", what.c_str(), value.c_str());
  std::printf("\n");
  for (const auto& [name, value] : figures) std::printf("%s %.3f\n", name.c_str(), value);
  return 0;
}
