// cartidex-bench: the figures of the performance targets, measured on data it builds itself.
// Prints a table, then one "NAME VALUE" line per figure. Timings are medians of several runs;
// every ratio compares things measured side by side in the same run (taking turns, after one
// untimed run of each), since the machine is shared.
//
// Each part runs in a process of its own (this program again, with --part PART ROOT). Options:
// --only load|dat|lookup|walk|sha1|archive|archive7z|rss runs only that part; --keep leaves the
// data in place and prints its folder; --data FOLDER reuses data an earlier --keep left.
#include <unzip.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <set>
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
#include "sha1_walk.h"
#include "timing.h"

namespace fs = std::filesystem;
using namespace cartidex;
using namespace cartidex::bench;

namespace {

constexpr int kRuns = 7;
// Loads take milliseconds: more turns, so that a moment of load on the shared machine cannot
// spoil the median.
constexpr int kLoadRuns = 31;

// Reads a file and counts its lines, the plain way: line by line with std::getline. What
// loading a datafile, which must look at every line, cannot beat.
size_t ReadAndCountLines(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string line;
  size_t lines = 0;
  while (std::getline(in, line)) ++lines;
  return lines;
}

// Only the bytes: one buffer of the file's size, one read, one count of its line ends. Shown in
// the table beside the figure, as the floor that no parse of the file gets near.
size_t ReadWholeAndCountLines(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  std::string data(static_cast<size_t>(in.tellg()), '\0');
  in.seekg(0);
  in.read(data.data(), static_cast<std::streamsize>(data.size()));
  return static_cast<size_t>(std::count(data.begin(), data.end(), '\n'));
}

uint32_t ReadAndCrc(const std::string& path, std::vector<char>* buffer) {
  std::ifstream in(path, std::ios::binary);
  uLong crc = crc32(0, nullptr, 0);
  while (in) {
    in.read(buffer->data(), static_cast<std::streamsize>(buffer->size()));
    crc =
        crc32(crc, reinterpret_cast<const Bytef*>(buffer->data()), static_cast<uInt>(in.gcount()));
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
    while ((n = unzReadCurrentFile(zf, buffer->data(), static_cast<unsigned>(buffer->size()))) >
           0) {
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
double RssOfStartup(const std::string& self, const std::string& home) {
  std::string command = "'" + self + "' --rss-probe '" + home + "'";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return -1;
  double mib = -1;
  if (std::fscanf(pipe, "%lf", &mib) != 1) mib = -1;
  pclose(pipe);
  return mib;
}

void Run(const std::string& command) {
  if (std::system(command.c_str()) != 0) std::fprintf(stderr, "failed: %s\n", command.c_str());
}

// `7z x` extracting every archive of `archives` into `out` in one run, then each member read back
// with its CRC-32.
void SevenZipExtractAndRead(const std::string& archives, const std::string& out,
                            std::vector<char>* buffer) {
  Run("7z x -y -bd -bso0 -bsp0 '-o" + out + "' '" + archives + "/*.7z'");
  for (const auto& e : fs::directory_iterator(out)) {
    ReadAndCrc(e.path().string(), buffer);
    fs::remove(e.path());
  }
}

std::string Ms(double seconds) {
  return std::to_string(seconds * 1e3) + " ms";
}

struct Report {
  std::map<std::string, double> figures;
  std::vector<std::pair<std::string, std::string>> table;
  void Row(const std::string& what, const std::string& value) { table.push_back({what, value}); }
};

// A load ends with the lookup index built, whenever the program builds it.
void LoadAndIndex() {
  LoadDatafiles();
  bool found = false;
  uint32_t index = 0;
  Database().FindRom(0, 0, &found, &index);
}

void MeasureLoad(const Fixture& f, Report* report) {
  SetProgramFolder(f.home);
  auto t = InterleavedMedians(kLoadRuns, {LoadAndIndex, [&] { ReadAndCountLines(f.datafile); },
                                          [&] { ReadWholeAndCountLines(f.datafile); }});
  report->figures["load_ratio"] = t[0] / t[1];
  report->Row("load 131072 roms", Ms(t[0]));
  report->Row("  getline + count its lines", Ms(t[1]));
  report->Row("  one read + count line ends", Ms(t[2]));
}

void MeasureDat(const Fixture& f, Report* report) {
  const std::string mame = std::string(CARTIDEX_SHARED_DATA) + "/MAME 2000 XML.dat";
  if (!fs::exists(mame)) {
    std::fprintf(stderr, "no %s: dat_load_ratio skipped\n", mame.c_str());
    return;
  }
  const std::string dat_home = f.root + "/dat-home";
  const std::string copy = dat_home + "/datfiles/mame.dat";
  fs::create_directories(dat_home + "/datfiles");
  if (!fs::exists(copy)) fs::copy_file(mame, copy);
  SetProgramFolder(dat_home);
  auto t = InterleavedMedians(kLoadRuns, {LoadAndIndex, [&] { ReadAndCountLines(copy); },
                                          [&] { ReadWholeAndCountLines(copy); }});
  report->figures["dat_load_ratio"] = t[0] / t[1];
  report->Row("load MAME 2000 XML.dat", Ms(t[0]));
  report->Row("  getline + count its lines", Ms(t[1]));
  report->Row("  one read + count line ends", Ms(t[2]));
}

// Median time of one FindRom over a round of different keys: present ones taken from the table,
// absent ones checked to be absent.
void MeasureLookup(const Fixture& f, Report* report) {
  SetProgramFolder(f.home);
  LoadDatafiles();
  const RomDatabase& db = Database();
  std::mt19937 rng(7);
  std::vector<std::pair<uint32_t, uint32_t>> present, absent;
  while (present.size() < 4096) {
    RomRecord r = db.GetRom(rng() % db.GetRomCount());
    present.push_back({r.crc, r.size});
  }
  while (absent.size() < 4096) {
    uint32_t crc = static_cast<uint32_t>(rng());
    uint32_t size = absent.size() % 2 == 0 ? static_cast<uint32_t>(kFileSize) : rng() % 100000;
    bool found = false;
    uint32_t index = 0;
    db.FindRom(crc, size, &found, &index);
    if (!found) absent.push_back({crc, size});
  }
  constexpr int kCalls = 200000;
  auto calls = [&](const std::vector<std::pair<uint32_t, uint32_t>>& keys) {
    return [&keys, &db] {
      bool found = false;
      for (int i = 0; i < kCalls; ++i) {
        uint32_t index = 0;
        const auto& [crc, size] = keys[static_cast<size_t>(i) % keys.size()];
        db.FindRom(crc, size, &found, &index);
      }
    };
  };
  auto t = InterleavedMedians(kRuns, {calls(present), calls(absent)});
  report->figures["lookup_us_present"] = t[0] / kCalls * 1e6;
  report->figures["lookup_us_absent"] = t[1] / kCalls * 1e6;
}

// "Directory" over the files, against a plain read-and-CRC loop and against rhash, all three
// with the files in the page cache.
void MeasureWalk(const Fixture& f, Report* report) {
  std::vector<char> buffer(1 << 16);
  HeadlessView view;
  Startup(f.home);
  auto t =
      InterleavedMedians(kRuns, {[&] { ProcessFolder(&view, f.files, {}); },
                                 [&] {
                                   for (const auto& e : fs::directory_iterator(f.files)) {
                                     ReadAndCrc(e.path().string(), &buffer);
                                   }
                                 },
                                 [&] { Run("rhash --crc32 -r '" + f.files + "' > /dev/null"); }});
  Shutdown();
  report->figures["walk_ratio"] = t[0] / t[1];
  report->figures["walk_vs_rhash"] = t[2] / t[0];
  report->Row("walk 20000 files", Ms(t[0]));
  report->Row("read + crc32 loop", Ms(t[1]));
  report->Row("rhash --crc32 -r", Ms(t[2]));
}

// "Directory" over the same files against a DAT giving every file's SHA-1, against the walk
// without digests and against sha1sum.
void MeasureSha1(const Fixture& f, Report* report) {
  const Sha1WalkTimes t = MeasureSha1Walk(f, kRuns);
  report->figures["walk_sha1_ratio"] = t.sha1_walk / t.plain_walk;
  report->figures["walk_sha1_vs_sha1sum"] = t.sha1_walk / t.sha1sum;
  report->Row("walk 20000 files, sha1 dat", Ms(t.sha1_walk));
  report->Row("  the same, no digests", Ms(t.plain_walk));
  report->Row("  sha1sum", Ms(t.sha1sum));
}

// Identifying every archive of `folder`, against `extract_and_read` doing the same work with the
// archive library or program alone: the two median times.
std::vector<double> IdentifyAgainst(
    const Fixture& f, const std::string& folder,
    const std::function<void(const std::string&)>& extract_and_read) {
  HeadlessView view;
  Startup(f.home);
  std::vector<std::string> archives;
  for (const auto& e : fs::directory_iterator(folder)) archives.push_back(e.path().string());
  std::sort(archives.begin(), archives.end());
  auto t = InterleavedMedians(kRuns, {[&] {
                                        for (const std::string& a : archives)
                                          ProcessFile(a, &view, {});
                                      },
                                      [&] { extract_and_read(folder); }});
  Shutdown();
  return t;
}

// The 200 zip archives, against minizip extracting and reading them back.
void MeasureArchives(const Fixture& f, Report* report) {
  std::vector<char> buffer(1 << 16);
  const std::string out = f.root + "/extract";
  fs::create_directories(out);
  auto t = IdentifyAgainst(f, f.archives, [&](const std::string& folder) {
    for (const auto& e : fs::directory_iterator(folder)) {
      ExtractAndRead(e.path().string(), out, &buffer);
    }
  });
  report->figures["archive_ratio"] = t[0] / t[1];
  report->Row("identify 200 archives", Ms(t[0]));
  report->Row("minizip extract + read back", Ms(t[1]));
}

// The 200 solid 7z archives, against the 7z program extracting them and the members read back.
void MeasureArchives7z(const Fixture& f, Report* report) {
  std::vector<char> buffer(1 << 16);
  const std::string out = f.root + "/extract-7z";
  fs::create_directories(out);
  auto t = IdentifyAgainst(f, f.archives_7z, [&](const std::string& folder) {
    SevenZipExtractAndRead(folder, out, &buffer);
  });
  report->figures["archive_7z_ratio"] = t[0] / t[1];
  report->Row("identify 200 7z archives", Ms(t[0]));
  report->Row("7z x + read back", Ms(t[1]));
}

// The parts measured in processes of their own, so that none finds the heap, the caches or the
// threads as another part left them (loading one datafile after another makes the C library
// hand memory back to the system and fault it in again, for instance).
const std::pair<const char*, void (*)(const Fixture&, Report*)> kParts[] = {
    {"load", MeasureLoad},           {"dat", MeasureDat},   {"lookup", MeasureLookup},
    {"walk", MeasureWalk},           {"sha1", MeasureSha1}, {"archive", MeasureArchives},
    {"archive7z", MeasureArchives7z}};

void MeasurePart(const std::string& part, const Fixture& f, Report* report) {
  for (const auto& [name, measure] : kParts) {
    if (part == name) measure(f, report);
  }
}

// Runs `self --part PART ROOT` and takes the rows and figures it prints, one per line:
// "row<TAB>WHAT<TAB>VALUE" or "figure<TAB>NAME<TAB>VALUE".
void MeasurePartApart(const std::string& self, const std::string& part, const Fixture& f,
                      Report* report) {
  const std::string command = "'" + self + "' --part " + part + " '" + f.root + "'";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return;
  char line[512];
  while (std::fgets(line, sizeof line, pipe) != nullptr) {
    std::string text(line);
    if (!text.empty() && text.back() == '\n') text.pop_back();
    const size_t a = text.find('\t');
    const size_t b = a == std::string::npos ? a : text.find('\t', a + 1);
    if (b == std::string::npos) continue;
    const std::string kind = text.substr(0, a), name = text.substr(a + 1, b - a - 1);
    if (kind == "row") report->Row(name, text.substr(b + 1));
    if (kind == "figure") report->figures[name] = std::atof(text.c_str() + b + 1);
  }
  if (pclose(pipe) != 0) std::fprintf(stderr, "failed: %s\n", command.c_str());
}

void MeasureRss(const Fixture& f, const std::string& self, Report* report) {
  report->figures["rss_empty_mib"] = RssOfStartup(self, f.empty_home);
  report->figures["rss_full_mib"] = RssOfStartup(self, f.home);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--rss-probe") {
    Startup(argv[2]);
    std::printf("%.2f\n", PeakRssMib());
    DeleteLog();
    return 0;
  }
  if (argc == 4 && std::string(argv[1]) == "--part") {
    Report report;
    MeasurePart(argv[2], FixtureAt(argv[3]), &report);
    for (const auto& [what, value] : report.table) {
      std::printf("row\t%s\t%s\n", what.c_str(), value.c_str());
    }
    for (const auto& [name, value] : report.figures)
      std::printf("figure\t%s\t%.6f\n", name.c_str(), value);
    return 0;
  }
  std::set<std::string> only;
  bool keep = false;
  std::string data;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--only" && i + 1 < argc) {
      only.insert(argv[++i]);
    } else if (arg == "--keep") {
      keep = true;
    } else if (arg == "--data" && i + 1 < argc) {
      data = argv[++i];
      keep = true;
    } else {
      std::fprintf(stderr, "usage: %s [--only FIGURE]... [--keep] [--data FOLDER]\n", argv[0]);
      return 2;
    }
  }
  auto wanted = [&](const char* part) { return only.empty() || only.count(part) != 0; };
  // Start-up makes the program's folder current: the probe needs this program's full path.
  const std::string self = fs::canonical("/proc/self/exe").string();

  Fixture f;
  if (data.empty()) {
    std::fprintf(stderr, "building the data...\n");
    f = MakeFixture();
  } else {
    f = FixtureAt(data);
  }
  Report report;
  for (const auto& [part, measure] : kParts) {
    if (wanted(part)) MeasurePartApart(self, part, f, &report);
  }
  if (wanted("rss")) MeasureRss(f, self, &report);
  if (keep) {
    std::fprintf(stderr, "data kept in %s\n", f.root.c_str());
  } else {
    RemoveFixture(f);
  }

  std::printf("%-28s %s\n", "measure", "median");
  for (const auto& [what, value] : report.table) {
    std::printf("%-28s %s\n", what.c_str(), value.c_str());
  }
  std::printf("\n");
  for (const auto& [name, value] : report.figures) std::printf("%s %.3f\n", name.c_str(), value);
  return 0;
}
