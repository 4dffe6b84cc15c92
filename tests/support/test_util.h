// Helpers shared by the tests: temporary folders, files on disk, forged CRC-32s, the log.
#ifndef CARTIDEX_TESTS_SUPPORT_TEST_UTIL_H_
#define CARTIDEX_TESTS_SUPPORT_TEST_UTIL_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cartidex::test {

// A folder made for one test under the system's temporary folder, removed with all it holds.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  // path() + "/" + relative, written as NativePath writes it.
  std::string Path(std::string_view relative) const;

 private:
  std::string path_;
};

// A relative path written with '/' as this platform's user types it (on Windows with "\\").
std::string NativePath(std::string_view relative);

// Writes `contents` to `path`, creating missing folders.
void WriteFile(const std::string& path, std::string_view contents);
// The file's contents; fails the test when it cannot be read.
std::string ReadFile(const std::string& path);
bool Exists(const std::string& path);
void MakeDirs(const std::string& path);
// The relative paths of every file below `root`, sorted.
std::vector<std::string> ListTree(const std::string& root);

// `text` with every `from` replaced by `to`.
std::string ReplaceAll(std::string text, const std::string& from, const std::string& to);

// zlib's CRC-32 of `data`.
uint32_t Crc32(std::string_view data);
// `prefix` followed by four bytes chosen so that the CRC-32 of the whole is `crc`.
std::string ForgeCrc(std::string_view prefix, uint32_t crc);

// A program folder (datfiles, tmp) installed as the program's folder for one test; the database
// and session are emptied and the log is closed when it ends.
class TestHome {
 public:
  TestHome();
  ~TestHome();
  const std::string& path() const { return dir_.path(); }
  std::string Path(std::string_view relative) const { return dir_.Path(relative); }
  void AddDatafile(std::string_view name, std::string_view contents);
  // What the log holds now ("" when it does not exist).
  std::string Log() const;

 private:
  TempDir dir_;
};

}  // namespace cartidex::test

#endif  // CARTIDEX_TESTS_SUPPORT_TEST_UTIL_H_
