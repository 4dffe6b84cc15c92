#include "zip/zip_extractor.h"

#include <unzip.h>

#include <memory>
#include <string_view>
#include <vector>

#include "platform/env.h"
#include "platform/path.h"

namespace cartidex {

namespace {

unzFile AsUnzFile(void* archive) {
  return static_cast<unzFile>(archive);
}

// A drive prefix such as "C:" at the start of a member name.
bool StartsWithDrive(std::string_view name) {
  if (name.size() < 2 || name[1] != ':') return false;
  char c = name[0];
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The path without trailing separators, a root excepted.
std::string WithoutTrailingSeparators(std::string path) {
  while (path.size() > 1 && IsSeparator(path.back())) path.pop_back();
  return path;
}

}  // namespace

ZipExtractor::ZipExtractor(const char* archive_path) {
  if (archive_path != nullptr) Open(archive_path);
}

ZipExtractor::~ZipExtractor() {
  if (archive_ != nullptr) {
    unzCloseCurrentFile(AsUnzFile(archive_));
    unzClose(AsUnzFile(archive_));
  }
}

bool ZipExtractor::Open(const char* archive_path) {
  if (archive_ != nullptr) {
    unzCloseCurrentFile(AsUnzFile(archive_));
    unzClose(AsUnzFile(archive_));
    archive_ = nullptr;
  }
  if (archive_path == nullptr) return false;
  written_files_.clear();
  written_set_.clear();
  archive_ = unzOpen(archive_path);
  if (archive_ == nullptr) return false;
  std::string_view path(archive_path);
  size_t dot = path.rfind('.');
  output_folder_ = std::string(dot == std::string_view::npos ? path : path.substr(0, dot));
  return true;
}

bool ZipExtractor::Close() {
  if (archive_ == nullptr) return false;
  unzCloseCurrentFile(AsUnzFile(archive_));
  int closed = unzClose(AsUnzFile(archive_));
  archive_ = nullptr;
  return closed == UNZ_OK;
}

uint32_t ZipExtractor::GetFileCount() {
  if (archive_ == nullptr) return 0;
  unz_global_info64 global;
  if (unzGetGlobalInfo64(AsUnzFile(archive_), &global) != UNZ_OK) return 0;
  // A zip64 directory may count beyond 32 bits; no real archive does, and nothing would fit.
  return global.number_entry > 0xFFFFFFFFu ? 0xFFFFFFFFu
                                           : static_cast<uint32_t>(global.number_entry);
}

bool ZipExtractor::GetCurrentEntryInfo(ZipEntryInfo* info) {
  if (archive_ == nullptr) return false;
  *info = ZipEntryInfo();
  // Names and comments are mostly short: one read of the directory entry into buffers of this
  // size, a second with room for the whole only when one of them did not fit. Nothing is cut.
  constexpr uLong kShort = 512;
  char short_name[kShort];
  char short_comment[kShort];
  unz_file_info64 raw;
  if (unzGetCurrentFileInfo64(AsUnzFile(archive_), &raw, short_name, kShort, nullptr, 0,
                              short_comment, kShort) != UNZ_OK) {
    return false;
  }
  const char* name = short_name;
  const char* comment = short_comment;
  std::vector<char> long_name, long_comment;
  if (raw.size_filename >= kShort || raw.size_file_comment >= kShort) {
    long_name.resize(raw.size_filename + 1);
    long_comment.resize(raw.size_file_comment + 1);
    if (unzGetCurrentFileInfo64(AsUnzFile(archive_), &raw, long_name.data(), long_name.size(),
                                nullptr, 0, long_comment.data(), long_comment.size()) != UNZ_OK) {
      return false;
    }
    name = long_name.data();
    comment = long_comment.data();
  }
  info->name.assign(name, raw.size_filename);
  info->comment.assign(comment, raw.size_file_comment);
  info->version_made_by = static_cast<uint32_t>(raw.version);
  info->version_needed = static_cast<uint32_t>(raw.version_needed);
  info->flags = static_cast<uint32_t>(raw.flag);
  info->compression_method = static_cast<uint32_t>(raw.compression_method);
  info->dos_date_time = static_cast<uint32_t>(raw.dosDate);
  info->crc32 = static_cast<uint32_t>(raw.crc);
  info->compressed_size = static_cast<uint32_t>(raw.compressed_size);
  info->uncompressed_size = static_cast<uint32_t>(raw.uncompressed_size);
  info->internal_attributes = static_cast<uint32_t>(raw.internal_fa);
  info->external_attributes = static_cast<uint32_t>(raw.external_fa);
  info->uncompressed_size64 = raw.uncompressed_size;
  for (char& c : info->name) {
    if (c == '/') c = '\\';
  }
  info->is_folder = !info->name.empty() && info->name.back() == '\\';
  return true;
}

bool ZipExtractor::SetOutputFolder(const std::string& path) {
  if (Env::Default()->GetKind(path) == FileKind::kFile) return false;
  output_folder_ = path;
  return CreateFolder(path);
}

bool ZipExtractor::CreateFolder(const std::string& path) {
  if (path.empty()) return false;
  Env* env = Env::Default();
  const std::string folder = WithoutTrailingSeparators(path);
  FileKind kind = env->GetKind(folder);
  if (kind != FileKind::kMissing) return kind == FileKind::kFolder;
  std::string parent = WithoutTrailingSeparators(std::string(FolderOf(folder)));
  // Without a parent the path hangs from a root or the current folder, which exist.
  if (!parent.empty() && parent != folder && !CreateFolder(parent)) return false;
  if (env->CreateFolder(folder).ok()) return true;
  return env->GetKind(folder) == FileKind::kFolder;
}

bool ZipExtractor::CreateParentFolders(const std::string& file_path) {
  std::string_view folder = FolderOf(file_path);
  if (folder.empty()) return false;
  return CreateFolder(std::string(folder));
}

bool ZipExtractor::SetFileTimes(const std::string& file_path, uint32_t dos_date_time) {
  return Env::Default()->SetFileTimesFromDos(file_path, dos_date_time).ok();
}

bool ZipExtractor::OutputPathFor(const ZipEntryInfo& info, const std::string& folder,
                                 bool ignore_paths, std::string* path) const {
  path->clear();
  std::string_view name(info.name);
  std::vector<std::string_view> parts;
  if (ignore_paths) {
    size_t cut = name.size();
    while (cut > 0 && !IsZipSeparator(name[cut - 1])) --cut;
    parts.push_back(name.substr(cut));
  } else {
    // Kept paths stay inside the folder: no absolute name, no drive, no step up.
    if (!name.empty() && IsZipSeparator(name[0])) return false;
    if (StartsWithDrive(name)) return false;
    size_t start = 0;
    for (size_t i = 0; i <= name.size(); ++i) {
      if (i < name.size() && !IsZipSeparator(name[i])) continue;
      std::string_view part = name.substr(start, i - start);
      start = i + 1;
      if (part == "..") return false;
      if (part.empty() || part == ".") {
        // "a//b" and "a/./b" name "a/b"; a name ending in "." names a folder.
        if (i == name.size()) parts.push_back(part);
        continue;
      }
      parts.push_back(part);
    }
  }
  if (parts.empty() || parts.back().empty() || parts.back() == "." || parts.back() == "..") {
    return true;  // nothing to write: skipped like a folder
  }
  std::string out = folder;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) out.push_back(kSeparator);
    out += SanitizeFileName(parts[i]);
  }
  // A path the platform cannot hold fails the member; it is never cut.
  if (!PathFits(out)) return false;
  *path = std::move(out);
  return true;
}

bool ZipExtractor::CopyCurrentEntry(const ZipEntryInfo& info, const std::string& path) {
  Env* env = Env::Default();
  std::unique_ptr<WritableFile> file;
  Status opened = env->OpenForWrite(path, WriteMode::kReplace, &file);
  // The member's folders are made when the file cannot be created without them: most members go
  // straight into the output folder, which exists, and a look before every file would cost a
  // system call each.
  if (opened.code() == Status::Code::kNotFound && CreateParentFolders(path)) {
    opened = env->OpenForWrite(path, WriteMode::kReplace, &file);
  }
  if (!opened.ok()) return false;
  if (written_set_.insert(path).second) written_files_.push_back(path);
  // Only stored and deflated data can be read: this library hands other methods (bzip2) over
  // still packed, which would pass for the member's contents.
  const bool readable_method = info.compression_method == 0 || info.compression_method == 8;
  if (!readable_method || unzOpenCurrentFile(AsUnzFile(archive_)) != UNZ_OK) {
    file->Close();
    return false;
  }
  // One buffer for every member, never filled beforehand: its size is not worth clearing.
  static const std::unique_ptr<char[]> buffer(new char[kCopyBufferSize]);
  uint64_t written = 0;
  bool ok = true;
  for (;;) {
    int got = unzReadCurrentFile(AsUnzFile(archive_), buffer.get(),
                                 static_cast<unsigned>(kCopyBufferSize));
    if (got == 0) break;
    // Never more than the directory declared: such data is not the member it claims to be.
    if (got < 0 || written + static_cast<uint64_t>(got) > info.uncompressed_size64) {
      ok = false;
      break;
    }
    if (!file->Append(std::string_view(buffer.get(), static_cast<size_t>(got))).ok()) {
      ok = false;
      break;
    }
    written += static_cast<uint64_t>(got);
  }
  if (!file->Close().ok()) ok = false;
  // The library stops delivering at the declared size, so data running on beyond it shows only
  // as a CRC-32 that differs from the stored one: such a member was not written completely.
  if (unzCloseCurrentFile(AsUnzFile(archive_)) != UNZ_OK) ok = false;
  if (written != info.uncompressed_size64) ok = false;
  return ok;
}

bool ZipExtractor::ExtractCurrentEntry(const char* folder, bool ignore_paths) {
  if (archive_ == nullptr) return false;
  std::string target = folder != nullptr ? std::string(folder) : output_folder_;
  if (!CreateFolder(target)) return false;
  EnsureTrailingSeparator(&target);
  return ExtractEntryInto(target, ignore_paths);
}

bool ZipExtractor::ExtractEntryInto(const std::string& folder, bool ignore_paths) {
  ZipEntryInfo info;
  if (!GetCurrentEntryInfo(&info)) return false;
  if (info.is_folder) return true;
  std::string path;
  if (!OutputPathFor(info, folder, ignore_paths, &path)) return false;
  if (path.empty()) return true;
  // No file of 4 GiB or more can be identified; such a member is refused before anything is
  // written. A 32-bit size of all ones is the zip64 mark, which this library does not always
  // resolve, so it is taken as "4 GiB or more" too.
  if (info.uncompressed_size64 >= 0xFFFFFFFFu) return false;
  if (!CopyCurrentEntry(info, path)) return false;
  SetFileTimes(path, info.dos_date_time);
  return true;
}

bool ZipExtractor::ExtractAllTo(const char* folder, bool ignore_paths) {
  if (archive_ == nullptr || folder == nullptr) return false;
  if (!CreateFolder(folder)) return false;
  if (GetFileCount() == 0) return false;
  if (unzGoToFirstFile(AsUnzFile(archive_)) != UNZ_OK) return false;
  std::string target(folder);
  EnsureTrailingSeparator(&target);
  for (;;) {
    if (!ExtractEntryInto(target, ignore_paths)) return false;
    int next = unzGoToNextFile(AsUnzFile(archive_));
    // The end of the list is success; a directory that cannot be read on is not.
    if (next == UNZ_END_OF_LIST_OF_FILE) return true;
    if (next != UNZ_OK) return false;
  }
}

bool ZipExtractor::ExtractAll(bool ignore_paths) {
  if (archive_ == nullptr) return false;
  return ExtractAllTo(output_folder_.c_str(), ignore_paths);
}

}  // namespace cartidex
