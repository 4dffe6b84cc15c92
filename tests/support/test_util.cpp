#include "support/test_util.h"

#include <gtest/gtest.h>
#include <zlib.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

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
#ifdef _WIN32
  return fs::path(std::u8string(path.begin(), path.end()));
#else
  return fs::path(path);
#endif
}

std::string GenericText(const fs::path& path) {
#ifdef _WIN32
  std::u8string text = path.generic_u8string();
  return std::string(text.begin(), text.end());
#else
  return path.generic_string();
#endif
}

}  // namespace

#ifdef _WIN32
TempDir::TempDir() {
  // CreateDirectoryA fails on an existing name: the first name it creates is ours alone.
  char temp[MAX_PATH + 1];
  DWORD n = GetTempPathA(sizeof temp, temp);
  std::string base = (n > 0 && n < sizeof temp) ? std::string(temp, n) : std::string(".\\");
  if (!base.empty() && base.back() != '\\') base.push_back('\\');
  static unsigned counter = 0;
  for (int attempt = 0; attempt < 1000; ++attempt) {
    std::string candidate = base + "cartidex-test-" + std::to_string(GetCurrentProcessId()) + "-" +
                            std::to_string(GetTickCount()) + "-" + std::to_string(++counter);
    if (CreateDirectoryA(candidate.c_str(), nullptr)) {
      path_ = candidate;
      return;
    }
  }
  ADD_FAILURE() << "cannot make a temporary folder";
}
#else
TempDir::TempDir() {
  std::string templ = (fs::temp_directory_path() / "cartidex-test-XXXXXX").string();
  char* made = ::mkdtemp(templ.data());
  if (made == nullptr) ADD_FAILURE() << "cannot make a temporary folder";
  path_ = templ;
}
#endif

TempDir::~TempDir() {
  std::error_code ec;
  // Tests may leave read-only folders behind: give write access back first.
  for (auto it = fs::recursive_directory_iterator(FsPath(path_), ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    if (it->is_directory(ec) && !it->is_symlink(ec)) {
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
  }
  fs::remove_all(FsPath(path_), ec);
}

std::string NativePath(std::string_view relative) {
  std::string path(relative);
#ifdef _WIN32
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
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
  if (!in) {
    ADD_FAILURE() << "cannot read " << path;
    return std::string();
  }
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
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
      files.push_back(GenericText(fs::relative(it->path(), FsPath(root))));
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
