// ZipExtractor: extracts the members of one zip archive into a folder, flat or with their
// folders, each with the member's stored time. It never deletes what it writes; its caller keeps
// track of the files.
#ifndef CARTIDEX_ZIP_ZIP_EXTRACTOR_H_
#define CARTIDEX_ZIP_ZIP_EXTRACTOR_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

#include "zip/zip_entry_info.h"

namespace cartidex {

class ZipExtractor {
 public:
  // Size of the one buffer through which a member's data is copied. Large: the inflater keeps a
  // copy of up to 32 KiB of every call's output, so a member read in few calls is copied less.
  static constexpr size_t kCopyBufferSize = 256 * 1024;

  // Opens `archive_path` when it is not null.
  explicit ZipExtractor(const char* archive_path = nullptr);
  ~ZipExtractor();
  ZipExtractor(const ZipExtractor&) = delete;
  ZipExtractor& operator=(const ZipExtractor&) = delete;

  // Closes what is open, then opens `archive_path` (null only closes). On success the first
  // member is current and the default output folder becomes the path cut at its last '.'. True
  // when an archive is open afterwards.
  bool Open(const char* archive_path);
  // True when an open archive was closed without error.
  bool Close();
  // Number of members (folders included); 0 without an archive or when it cannot be read.
  uint32_t GetFileCount();
  // Fills `info` for the current member; false (and `info` untouched) without an archive.
  bool GetCurrentEntryInfo(ZipEntryInfo* info);
  // False when `path` names an existing file; otherwise makes it the default output folder and
  // gives CreateFolder(path).
  bool SetOutputFolder(const std::string& path);
  // Writes the current member into `folder` (null: the default output folder); with
  // `ignore_paths` only the part of its name after the last separator is used. True when the
  // member was written completely, or is a folder, or (ignoring paths) has no usable name. With
  // paths kept, a name that would land outside the folder is refused.
  bool ExtractCurrentEntry(const char* folder, bool ignore_paths);
  // Extracts every member into `folder`, in directory order, stopping at the first failure.
  // True when every member was extracted; false for an archive without members.
  bool ExtractAllTo(const char* folder, bool ignore_paths);
  // ExtractAllTo(default output folder); false when no archive is open.
  bool ExtractAll(bool ignore_paths);
  // True when `path` is a folder afterwards; missing parents are created first.
  bool CreateFolder(const std::string& path);
  // True when the folder of `file_path` is a folder afterwards.
  bool CreateParentFolders(const std::string& file_path);
  // Gives the file the MS-DOS stamp (read as local time) as its modification time (and creation
  // time where the system keeps one). False for an invalid stamp or a file that cannot be set.
  bool SetFileTimes(const std::string& file_path, uint32_t dos_date_time);

  // The paths of the files this object created or replaced since the archive was opened, in
  // the order it wrote them (a path written twice stands once), partly written ones included: the
  // caller's record of what to identify and what to delete, which no listing of a shared folder
  // can give as surely.
  const std::vector<std::string>& written_files() const { return written_files_; }

  const std::string& output_folder() const { return output_folder_; }
  bool is_open() const { return archive_ != nullptr; }

 private:
  // The path the current member goes to inside `folder` (which ends in a separator): empty when
  // the member is to be skipped; false when it must not be written.
  bool OutputPathFor(const ZipEntryInfo& info, const std::string& folder, bool ignore_paths,
                     std::string* path) const;
  // ExtractCurrentEntry into `folder`, which exists and ends in a separator.
  bool ExtractEntryInto(const std::string& folder, bool ignore_paths);
  // Copies the current member's data into `path`, making its folders when needed; false on any
  // error.
  bool CopyCurrentEntry(const ZipEntryInfo& info, const std::string& path);

  void* archive_ = nullptr;  // minizip's unzFile
  std::string output_folder_;
  std::vector<std::string> written_files_;
  std::unordered_set<std::string> written_set_;  // the same paths, to find one at once
};

}  // namespace cartidex

#endif  // CARTIDEX_ZIP_ZIP_EXTRACTOR_H_
