// Env is the one door to the operating system: files, folders, listings, moves, times, the
// program's own path and the current directory. Everything else in Cartidex is portable code that
// reaches the OS only through the Env installed as the default (tests may install another, for
// example one that injects failures).
#ifndef CARTIDEX_PLATFORM_ENV_H_
#define CARTIDEX_PLATFORM_ENV_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

namespace cartidex {

enum class FileKind { kMissing, kFile, kFolder };

// One entry of a folder listing. `is_folder` follows links: a link to a folder is a folder, and
// `is_link` tells it apart.
struct DirEntry {
  std::string name;
  bool is_folder = false;
  bool is_link = false;
};

// Identity of a file on disk (device and inode here, volume serial and file index on Windows):
// two paths name the same file exactly when their ids are equal.
struct FileId {
  uint64_t volume = 0;
  uint64_t index = 0;
  bool operator==(const FileId&) const = default;
  bool operator<(const FileId& o) const {
    return volume != o.volume ? volume < o.volume : index < o.index;
  }
};

// What a path names as examined by GetFileInfo. kFile is a regular file; kOther a pipe, socket or
// device; kLink a symbolic link (on Windows also a junction), seen only when links are not
// followed.
enum class EntryType { kFile, kFolder, kLink, kOther };

struct FileInfo {
  EntryType type = EntryType::kOther;
  FileId id;
  uint64_t size = 0;
  // The modification time in the system's own unit, only ever compared with another reading.
  int64_t modified = 0;
};

// A lock on a folder, held until it is destroyed (and never past the end of the process).
class FolderLock {
 public:
  virtual ~FolderLock() = default;
};

// A file open for reading, shared with other readers. Closed when destroyed.
class ReadableFile {
 public:
  virtual ~ReadableFile() = default;
  // The size when the file was opened.
  virtual uint64_t Size() const = 0;
  // Reads up to n bytes at the current position; *got is 0 at the end of the file.
  virtual Status Read(char* buffer, size_t n, size_t* got) = 0;
};

// A file open for writing. Every Append hands its bytes to the OS before it returns (nothing is
// held in a process buffer). Closed when destroyed; Close reports the outcome.
class WritableFile {
 public:
  virtual ~WritableFile() = default;
  virtual Status Append(std::string_view data) = 0;
  virtual Status Close() = 0;
};

enum class WriteMode {
  kReplace,  // create anew, replacing an existing file
  kNew,      // create; fail when the path exists
  kAppend,   // open an existing file or create it, and write at its end
};

class Env {
 public:
  virtual ~Env() = default;

  // The Env every part of the program uses. Never null.
  static Env* Default();
  // Installs `env` as the default (nullptr restores the real one). For tests.
  static void SetDefault(Env* env);

  // Opens a regular file (following links) for reading. Anything else (a folder, a pipe, a
  // device) is refused without being opened, so nothing blocks.
  virtual Status OpenForRead(const std::string& path, std::unique_ptr<ReadableFile>* file) = 0;
  virtual Status OpenForWrite(const std::string& path, WriteMode mode,
                              std::unique_ptr<WritableFile>* file) = 0;
  // Creates one folder level. Fails when it exists or its parent is missing.
  virtual Status CreateFolder(const std::string& path) = 0;
  // Deletes a file (never a folder).
  virtual Status DeleteFile(const std::string& path) = 0;
  // What the path names, following links. A path that cannot be examined is kMissing.
  virtual FileKind GetKind(const std::string& path) = 0;
  // Lists `folder` with a pattern: "*.*" gives every entry, "*.ext" the entries whose whole name
  // ends in ".ext", ignoring ASCII letter case. "." and ".." are never listed. Entries come sorted
  // by their names folded to upper case, ties broken by the raw bytes.
  virtual Status ListFolder(const std::string& folder, std::string_view pattern,
                            std::vector<DirEntry>* entries) = 0;
  // Full path of the running executable.
  virtual std::string ExecutablePath() = 0;
  virtual Status SetCurrentDirectory(const std::string& path) = 0;
  virtual std::string GetCurrentDirectory() = 0;
  // Moves or renames a file. Never replaces an existing target. A move to another file system
  // copies to a file beside the target that no one sees until it is complete, links it into
  // place, and removes the source only when the source is still the file it copied, unchanged;
  // on any failure the copy is removed, so the file never exists twice or nowhere. A link is
  // moved as a link and keeps naming what it named (or the move fails).
  virtual Status MoveFile(const std::string& from, const std::string& to) = 0;
  // Identity of the file a path names (following links).
  virtual Status GetFileId(const std::string& path, FileId* id) = 0;
  // Type, identity, size and modification time of what `path` names; with `follow_links` false,
  // a link itself (the path's last part only) is examined.
  virtual Status GetFileInfo(const std::string& path, bool follow_links, FileInfo* info) = 0;
  // The absolute path of an existing file or folder, every link and "." or ".." resolved.
  virtual Status GetRealPath(const std::string& path, std::string* real) = 0;
  // Locks `folder` against every other process that asks for its lock. kBusy when another
  // process holds it; other failures mean the folder's file system keeps no such locks.
  virtual Status LockFolder(const std::string& folder, std::unique_ptr<FolderLock>* lock) = 0;
  // Sets the creation (where the OS has one) and modification times of a file to an MS-DOS date
  // (high 16 bits) and time (low 16 bits), read as local time of that date.
  virtual Status SetFileTimesFromDos(const std::string& path, uint32_t dos_date_time) = 0;
};

// A whole file's bytes, in a buffer of their own that is not cleared before it is read into.
struct FileBytes {
  std::unique_ptr<char[]> data;
  size_t size = 0;

  std::span<char> bytes() const { return {data.get(), size}; }
  std::string_view text() const { return {data.get(), size}; }
};

// Reads a whole file into *contents.
Status ReadWholeFile(Env* env, const std::string& path, FileBytes* contents);
// Reads a file just opened, whose Read has not been used, whole into *contents.
Status ReadOpenFile(ReadableFile* file, FileBytes* contents);
Status ReadWholeFile(Env* env, const std::string& path, std::string* contents);
// Creates (replacing) a file holding exactly `contents`.
Status WriteWholeFile(Env* env, const std::string& path, std::string_view contents);

// The Env over the real OS: POSIX here, Win32 in the Windows build.
Env* RealEnv();

}  // namespace cartidex

#endif  // CARTIDEX_PLATFORM_ENV_H_
