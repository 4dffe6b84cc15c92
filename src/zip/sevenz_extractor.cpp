#include "zip/sevenz_extractor.h"

#include <archive.h>
#include <archive_entry.h>

#include <memory>
#include <string_view>

#include "platform/env.h"
#include "platform/path.h"
#include "platform/utf8_text_scope.h"

namespace cartidex {

namespace {

// Bytes the library reads from the archive at a time.
constexpr size_t kReadBlockSize = 64 * 1024;
// No file of 4 GiB or more can be identified.
constexpr int64_t kSizeLimit = 0xFFFFFFFF;

struct ReaderFree {
  void operator()(archive* reader) const { archive_read_free(reader); }
};
using Reader = std::unique_ptr<archive, ReaderFree>;

// A reader of the 7z format only, opened on `path`; null when the file cannot be opened or does
// not begin as a 7z archive.
Reader OpenReader(const std::string& path) {
  Reader reader(archive_read_new());
  if (reader == nullptr) return nullptr;
  if (archive_read_support_format_7zip(reader.get()) != ARCHIVE_OK) return nullptr;
  if (archive_read_open_filename(reader.get(), path.c_str(), kReadBlockSize) != ARCHIVE_OK) {
    return nullptr;
  }
  return reader;
}

// The next member's header: ARCHIVE_OK, ARCHIVE_EOF after the last one, or a failure. A warning
// (a name that cannot be spelt) still gives the member.
int NextHeader(archive* reader, archive_entry** entry) {
  int status = archive_read_next_header(reader, entry);
  return status == ARCHIVE_WARN ? ARCHIVE_OK : status;
}

// The last part of a member's name, as a name this platform can hold; "" when there is none.
std::string FlatName(std::string_view name) {
  size_t cut = name.size();
  while (cut > 0 && !IsZipSeparator(name[cut - 1])) --cut;
  const std::string_view last = name.substr(cut);
  if (last.empty() || last == "." || last == "..") return "";
  return SanitizeFileName(last);
}

}  // namespace

bool SevenZipExtractor::Open(const char* archive_path) {
  Close();
  if (archive_path == nullptr) return false;
  written_files_.clear();
  written_set_.clear();
  const Utf8TextScope utf8_names;
  Reader reader = OpenReader(archive_path);
  if (reader == nullptr) return false;
  // Headers only: no member's data is read, so nothing is decompressed.
  uint32_t count = 0;
  archive_entry* entry = nullptr;
  int status;
  while ((status = NextHeader(reader.get(), &entry)) == ARCHIVE_OK) {
    if (count == UINT32_MAX) return false;
    ++count;
  }
  if (status != ARCHIVE_EOF || archive_read_close(reader.get()) != ARCHIVE_OK) return false;
  archive_path_ = archive_path;
  member_count_ = count;
  return true;
}

bool SevenZipExtractor::Close() {
  if (!is_open()) return false;
  archive_path_.clear();
  member_count_ = 0;
  return true;
}

bool SevenZipExtractor::SetOutputFolder(const std::string& path) {
  Env* env = Env::Default();
  FileKind kind = env->GetKind(path);
  if (kind == FileKind::kFile) return false;
  output_folder_ = path;
  if (kind == FileKind::kFolder) return true;
  if (!env->CreateFolder(path).ok() && env->GetKind(path) != FileKind::kFolder) return false;
  return true;
}

bool SevenZipExtractor::ExtractAll(bool ignore_paths) {
  if (!is_open() || !ignore_paths || member_count_ == 0 || output_folder_.empty()) return false;
  if (Env::Default()->GetKind(output_folder_) != FileKind::kFolder) return false;
  std::string folder = output_folder_;
  EnsureTrailingSeparator(&folder);
  const Utf8TextScope utf8_names;
  // The archive is read again from its start, once: every member's data in archive order, so a
  // solid block is decompressed in one go.
  Reader reader = OpenReader(archive_path_);
  if (reader == nullptr) return false;
  archive_entry* entry = nullptr;
  int status;
  uint32_t seen = 0;
  while ((status = NextHeader(reader.get(), &entry)) == ARCHIVE_OK) {
    if (++seen > member_count_) return false;  // not the archive that was opened
    if (!ExtractEntry(reader.get(), entry, folder)) return false;
  }
  return status == ARCHIVE_EOF && seen == member_count_ &&
         archive_read_close(reader.get()) == ARCHIVE_OK;
}

bool SevenZipExtractor::ExtractEntry(archive* reader, archive_entry* entry,
                                     const std::string& folder) {
  const auto type = archive_entry_filetype(entry);
  if (type == AE_IFDIR) return true;
  // Links and devices are no members' contents; encrypted data cannot be read.
  if (type != AE_IFREG || archive_entry_hardlink(entry) != nullptr ||
      archive_entry_symlink(entry) != nullptr || archive_entry_is_encrypted(entry) != 0) {
    return false;
  }
  const int64_t declared = archive_entry_size_is_set(entry) ? archive_entry_size(entry) : -1;
  if (declared < 0 || declared >= kSizeLimit) return false;
  // A name that cannot be spelt (no valid UTF-16) fails: its member must not pass unseen.
  const char* stored = archive_entry_pathname(entry);
  if (stored == nullptr) return false;
  const std::string name = FlatName(stored);
  // Nothing to write: skipped like a folder (its data, if any, is passed over by the next read).
  if (name.empty()) return true;
  const std::string path = folder + name;
  // A path the platform cannot hold fails the member; it is never cut.
  if (!PathFits(path)) return false;
  return CopyData(reader, path, static_cast<uint64_t>(declared));
}

bool SevenZipExtractor::CopyData(archive* reader, const std::string& path, uint64_t declared) {
  std::unique_ptr<WritableFile> file;
  if (!Env::Default()->OpenForWrite(path, WriteMode::kReplace, &file).ok()) return false;
  if (written_set_.insert(path).second) written_files_.push_back(path);
  uint64_t written = 0;
  bool ok = true;
  for (;;) {
    const void* block = nullptr;
    size_t size = 0;
    la_int64_t offset = 0;
    const int status = archive_read_data_block(reader, &block, &size, &offset);
    if (status == ARCHIVE_EOF) break;
    // Data out of place (a hole) or beyond the declared size is not the member it claims to be.
    if (status != ARCHIVE_OK || offset < 0 || static_cast<uint64_t>(offset) != written ||
        size > declared - written) {
      ok = false;
      break;
    }
    if (!file->Append(std::string_view(static_cast<const char*>(block), size)).ok()) {
      ok = false;
      break;
    }
    written += size;
  }
  if (!file->Close().ok()) ok = false;
  return ok && written == declared;
}

}  // namespace cartidex
