#include "fixture.h"

#include <unzip.h>
#include <zip.h>
#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <vector>

namespace fs = std::filesystem;

namespace cartidex::bench {

namespace {

constexpr int kSystems = 8;
constexpr uint32_t kRoms = 131072;
constexpr uint32_t kSets = 65536;

std::string RandomBlock(std::mt19937_64* rng) {
  std::string data(kFileSize, '\0');
  for (size_t i = 0; i < data.size(); i += 8) {
    uint64_t v = (*rng)();
    std::memcpy(&data[i], &v, 8);
  }
  return data;
}

uint32_t Crc(const std::string& data) {
  return static_cast<uint32_t>(
      crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
}

void Write(const std::string& path, const std::string& data) {
  std::ofstream out(path, std::ios::binary);
  out.write(data.data(), static_cast<std::streamsize>(data.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

char Hex(uint32_t v) {
  return "0123456789ABCDEF"[v & 0xF];
}

std::string Hex8(uint32_t v) {
  std::string s(8, '0');
  for (int i = 7; i >= 0; --i, v >>= 4) s[static_cast<size_t>(i)] = Hex(v);
  return s;
}

void WriteZip(const std::string& path, const std::vector<std::string>& names,
              const std::vector<std::string>& contents) {
  zipFile zf = zipOpen(path.c_str(), APPEND_STATUS_CREATE);
  if (zf == nullptr) throw std::runtime_error("cannot create " + path);
  for (size_t i = 0; i < names.size(); ++i) {
    zip_fileinfo info = {};
    info.dosDate = (44u << 25) | (1u << 21) | (2u << 16);
    if (zipOpenNewFileInZip(zf, names[i].c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                            Z_DEFLATED, Z_DEFAULT_COMPRESSION) != ZIP_OK ||
        zipWriteInFileInZip(zf, contents[i].data(), static_cast<unsigned>(contents[i].size())) !=
            ZIP_OK ||
        zipCloseFileInZip(zf) != ZIP_OK) {
      throw std::runtime_error("cannot write " + path);
    }
  }
  if (zipClose(zf, nullptr) != ZIP_OK) throw std::runtime_error("cannot close " + path);
}

// A solid 7z archive of the same members, made by the 7z program from a scratch folder.
void Write7z(const std::string& path, const std::string& scratch,
             const std::vector<std::string>& names, const std::vector<std::string>& contents) {
  fs::create_directories(scratch);
  std::string command = "cd '" + scratch + "' && 7z a -bd -bso0 -bsp0 -ms=on -mx=1 '" + path + "'";
  for (size_t i = 0; i < names.size(); ++i) {
    Write(scratch + "/" + names[i], contents[i]);
    command += " '" + names[i] + "'";
  }
  if (std::system(command.c_str()) != 0) throw std::runtime_error("cannot make " + path);
  fs::remove_all(scratch);
}

}  // namespace

Fixture FixtureAt(const std::string& root) {
  Fixture f;
  f.root = root;
  f.home = f.root + "/home";
  f.empty_home = f.root + "/empty-home";
  f.files = f.root + "/files";
  f.archives = f.root + "/archives";
  f.archives_7z = f.root + "/archives-7z";
  f.datafile = f.home + "/datfiles/bench.cxi";
  return f;
}

namespace {

// Memory-backed when the machine has it: creating and deleting thousands of archive members on
// a disk file system makes the time of a create swing with the file system's own bookkeeping
// (ext4 looks for inodes not deleted recently), which would measure the disk, not the program.
fs::path BenchFolder() {
  std::error_code ec;
  if (const char* dir = std::getenv("CARTIDEX_BENCH_DIR")) return dir;
  if (fs::is_directory("/dev/shm", ec)) return "/dev/shm";
  return fs::temp_directory_path();
}

}  // namespace

Fixture MakeFixture() {
  Fixture f = FixtureAt(
      (BenchFolder() / ("cartidex-bench-" + std::to_string(std::random_device()()))).string());
  for (const std::string& d : {f.home + "/datfiles", f.home + "/tmp", f.empty_home + "/datfiles",
                               f.files, f.archives, f.archives_7z}) {
    fs::create_directories(d);
  }

  std::mt19937_64 rng(42);
  std::string text;
  text.reserve(8u << 20);
  uint32_t roms = 0, sets = 0;
  // 200 sets of 5 ROMs, completed by the archives; they belong to the same 8 systems as the rest.
  for (int a = 0; a < kArchiveCount; ++a) {
    if (a % (kArchiveCount / kSystems) == 0) {
      text += "#console#;Bench System " + std::to_string(a / (kArchiveCount / kSystems)) + "\r\n";
    }
    std::vector<std::string> names, contents;
    std::string line = "Archive Set " + std::to_string(a) + ".zip", sizes, crcs;
    for (int m = 0; m < kMembersPerArchive; ++m) {
      contents.push_back(RandomBlock(&rng));
      names.push_back("set" + std::to_string(a) + "_" + std::to_string(m) + ".bin");
      line += ":" + names.back();
      sizes += ":" + std::to_string(kFileSize);
      crcs += ":" + Hex8(Crc(contents.back()));
    }
    text += line + ";" + sizes + ";" + crcs + "\r\n";
    WriteZip(f.archives + "/archive" + std::to_string(a) + ".zip", names, contents);
    Write7z(f.archives_7z + "/archive" + std::to_string(a) + ".7z", f.root + "/scratch", names,
            contents);
    roms += kMembersPerArchive;
    ++sets;
  }
  // The rest: two ROMs a set, then one; the first 20,000 ROMs are files on disk.
  int file_index = 0;
  int system = 0;
  const uint32_t single_sets = (kSets - sets) * 2 - (kRoms - roms);
  while (sets < kSets) {
    if ((sets - kArchiveCount) % ((kSets - kArchiveCount) / kSystems + 1) == 0) {
      text += "#console#;Bench System " + std::to_string(system++) + "\r\n";
    }
    int count = (kSets - sets) <= single_sets ? 1 : 2;
    std::string line = "Set " + std::to_string(sets), sizes, crcs;
    for (int r = 0; r < count; ++r) {
      std::string name = "rom" + std::to_string(roms + static_cast<uint32_t>(r)) + ".bin";
      uint32_t crc;
      if (file_index < kFileCount) {
        std::string data = RandomBlock(&rng);
        crc = Crc(data);
        Write(f.files + "/file" + std::to_string(file_index++) + ".bin", data);
      } else {
        crc = static_cast<uint32_t>(rng());
      }
      line += ":" + name;
      sizes += ":" + std::to_string(kFileSize);
      crcs += ":" + Hex8(crc);
    }
    text += line + ";" + sizes + ";" + crcs + "\r\n";
    roms += static_cast<uint32_t>(count);
    ++sets;
  }
  if (roms != kRoms) throw std::runtime_error("fixture has " + std::to_string(roms) + " roms");
  Write(f.datafile, text);
  return f;
}

void RemoveFixture(const Fixture& fixture) {
  std::error_code ec;
  fs::remove_all(fixture.root, ec);
}

}  // namespace cartidex::bench
