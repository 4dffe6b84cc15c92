// SevenZipExtractor: extracts the members of one 7z archive flat into a folder, with the promises
// of ZipExtractor: nothing is written outside that folder whatever a member's name says, no file
// grows past its member's declared size nor reaches 4 GiB, and links, devices and encrypted
// members are refused. A solid archive is decompressed once, its members in archive order. It
// never deletes what it writes; its caller keeps track of the files.
#ifndef CARTIDEX_ZIP_SEVENZ_EXTRACTOR_H_
#define CARTIDEX_ZIP_SEVENZ_EXTRACTOR_H_

#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

struct archive;
struct archive_entry;

namespace cartidex {

class SevenZipExtractor {
 public:
  SevenZipExtractor() = default;
  SevenZipExtractor(const SevenZipExtractor&) = delete;
  SevenZipExtractor& operator=(const SevenZipExtractor&) = delete;

  // Closes what is open, then reads the directory of the archive at `archive_path` (null only
  // closes): every member's header, none of its data. True when the whole directory was read.
  bool Open(const char* archive_path);
  // True when an open archive was closed.
  bool Close();
  // Number of members (folders included); 0 without an archive.
  uint32_t GetFileCount() const { return is_open() ? member_count_ : 0; }
  // False when `path` names an existing file; otherwise makes it the output folder and gives
  // whether it is a folder afterwards (one level is made when missing).
  bool SetOutputFolder(const std::string& path);
  // Extracts every member into the output folder in archive order, stopping at the first member
  // that cannot be written whole. Only the part of a name after its last '/' or '\' is used, so
  // `ignore_paths` must be true: members' folders are never made. True when every member was
  // extracted; false for an archive without members.
  bool ExtractAll(bool ignore_paths);

  // The paths of the files this object created or replaced since the archive was opened, in the
  // order it wrote them (a path written twice stands once), partly written ones included.
  const std::vector<std::string>& written_files() const { return written_files_; }
  bool is_open() const { return !archive_path_.empty(); }

 private:
  // Writes the member whose header was just read into the output folder (which ends in a
  // separator); folders and members without a usable name are skipped.
  bool ExtractEntry(archive* reader, archive_entry* entry, const std::string& folder);
  // Copies the member's data into `path`; false on any error or a size other than `declared`.
  bool CopyData(archive* reader, const std::string& path, uint64_t declared);

  std::string archive_path_;
  uint32_t member_count_ = 0;
  std::string output_folder_;
  std::vector<std::string> written_files_;
  std::unordered_set<std::string> written_set_;  // the same paths, to find one at once
};

}  // namespace cartidex

#endif  // CARTIDEX_ZIP_SEVENZ_EXTRACTOR_H_
