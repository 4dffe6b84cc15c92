#include "support/test_util.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "identify/session_state.h"
#include "platform/activity_log.h"
#include "platform/program_folder.h"
#include "romdb/rom_database.h"

namespace fs = std::filesystem;

namespace cartidex::test {

namespace {

// Path texts are UTF-8 on Windows too (the manifest's code page); mingw's library would read
// their bytes one by one as characters.
fs::path FsPath(const std::string& path) {
  return fs::path(std::u8string(path.begin(), path.end()));
}

std::string GenericText(const fs::path& path) {
  const std::u8string text = path.generic_u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace

// create_directory fails on an existing name: the first name it creates is ours alone.
TempDir::TempDir() {
  static std::mt19937 random{std::random_device{}()};
  for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
    const fs::path candidate =
        fs::temp_directory_path() / ("cartidex-test-" + std::to_string(random()));
    std::error_code ec;
    if (fs::create_directory(candidate, ec)) path_ = candidate.string();
  }
  if (path_.empty()) ADD_FAILURE() << "cannot make a temporary folder";
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::remove_all(FsPath(path_), ec);
}

std::string NativePath(std::string_view relative) {
  std::string path(relative);
#ifdef _WIN32
  std::replace(path.begin(), path.end(), '/', '\\');
#endif
  return path;
}

std::string TempDir::Path(std::string_view relative) const {
  return path_ + NativePath("/") + NativePath(relative);
}

void MakeDirs(const std::string& path) {
  std::error_code ec;
  fs::create_directories(FsPath(path), ec);
}

void WriteFile(const std::string& path, std::string_view contents) {
  std::error_code ec;
  fs::path p = FsPath(path);
  if (p.has_parent_path()) fs::create_directories(p.parent_path(), ec);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
  if (!out) ADD_FAILURE() << "cannot write " << path;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) ADD_FAILURE() << "cannot read " << path;
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool Exists(const std::string& path) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(FsPath(path), ec));
}

std::vector<std::string> ListTree(const std::string& root) {
  std::vector<std::string> files;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(FsPath(root), ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    if (!it->is_directory(ec)) {
      files.push_back(GenericText(it->path().lexically_relative(FsPath(root))));
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  if (from.empty()) return text;
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

uint32_t Crc32(std::string_view data) {
  return static_cast<uint32_t>(
      ::crc32(0L, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
}

std::string ForgeCrc(std::string_view prefix, uint32_t crc) {
  // The register run back from the wanted value over four bytes (no two table entries share a
  // top byte) differs from the one after `prefix` by exactly the four bytes to append.
  const z_crc_t* table = get_crc_table();
  uint32_t reg = ~crc;
  for (int k = 0; k < 4; ++k) {
    uint32_t i = 0;
    while ((table[i] >> 24) != (reg >> 24)) ++i;
    reg = ((reg ^ table[i]) << 8) | i;
  }
  const uint32_t bytes = reg ^ ~Crc32(prefix);
  std::string out(prefix);
  for (int k = 0; k < 4; ++k) out.push_back(static_cast<char>((bytes >> (8 * k)) & 0xFF));
  return out;
}

TestHome::TestHome() {
  MakeDirs(dir_.Path("datfiles"));
  MakeDirs(dir_.Path("tmp"));
  CloseLog();
  SetProgramFolder(dir_.path());
  Database().Clear();
  ResetSession();
}

TestHome::~TestHome() {
  CloseLog();
  Database().Clear();
  ResetSession();
  SetProgramFolder("");
}

void TestHome::AddDatafile(std::string_view name, std::string_view contents) {
  WriteFile(dir_.Path("datfiles/" + std::string(name)), contents);
}

std::string TestHome::Log() const {
  if (!Exists(dir_.Path("log.txt"))) return std::string();
  return ReadFile(dir_.Path("log.txt"));
}

}  // namespace cartidex::test
