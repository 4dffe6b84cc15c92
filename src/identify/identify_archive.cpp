#include "identify/identify_archive.h"

#include <cstdint>
#include <unordered_set>
#include <vector>

#include "identify/identify_file.h"
#include "identify/session_state.h"
#include "platform/activity_log.h"
#include "platform/env.h"
#include "platform/failure_lines.h"
#include "platform/listing_order.h"
#include "platform/path.h"
#include "platform/program_folder.h"
#include "romdb/rom_database.h"
#include "zip/sevenz_extractor.h"
#include "zip/zip_extractor.h"

namespace cartidex {

namespace {

// Records in the session every file that this archive's extraction wrote, and every other file
// lying in `tmp` (left by an earlier archive whose files could not all be deleted), in listing
// order, so that the next identification or closing deletes them all. Gives the members to
// identify: the files this archive wrote whose names do not begin with '.', in the same order.
// Only what the extractor wrote counts: a stale file must never complete a set, and a listing
// that fails must not hide the members.
std::vector<std::string> TakeExtractedFiles(Env* env, const std::string& tmp,
                                            const std::vector<std::string>& written) {
  std::unordered_set<std::string> mine;
  std::vector<DirEntry> files;
  for (const std::string& path : written) {
    const std::string name(BaseName(path));
    if (mine.insert(name).second) files.push_back({name, false});
  }
  std::vector<DirEntry> entries;
  if (env->ListFolder(tmp, "*.*", &entries).ok()) {
    for (DirEntry& entry : entries) {
      if (!entry.is_folder && mine.count(entry.name) == 0) files.push_back(std::move(entry));
    }
  }
  SortListing(&files);
  SessionState& session = Session();
  std::vector<std::string> members;
  for (const DirEntry& file : files) {
    session.extracted_files.push_back(tmp + file.name);
    if (mine.count(file.name) != 0 && file.name[0] != '.') members.push_back(tmp + file.name);
  }
  return members;
}

// What extracting an archive into `tmp` gave.
struct Extraction {
  bool any_member = false;  // the archive could be read and lists members
  bool complete = false;    // every member was extracted
  std::vector<std::string> written;
};

// Extracts the archive flat into `tmp` with the extractor of its kind.
template <class Extractor>
Extraction Extract(const std::string& path, const std::string& tmp) {
  Extraction done;
  Extractor archive;
  archive.Open(path.c_str());
  archive.SetOutputFolder(tmp);
  done.any_member = archive.GetFileCount() > 0;
  if (done.any_member) {
    // Matches count only for this archive: a slot marked before it must not hide a ROM it lacks.
    Database().ClearFoundFlags();
    done.complete = archive.ExtractAll(/*ignore_paths=*/true);
  }
  archive.Close();
  done.written = archive.written_files();
  return done;
}

// Ends an archive: the result carries the archive mark, the current path names the archive
// again, and the found flags that its members set are cleared.
void FinishArchive(const std::string& path, RomRecord* result) {
  result->crc = kArchiveMark;
  result->size = kArchiveMark;
  Session().current_path = path;
  Database().ClearFoundFlags();
}

}  // namespace

std::string_view ArchiveExtension(std::string_view path) {
  for (std::string_view extension : {".zip", ".7z"}) {
    if (path.ends_with(extension)) return extension;
  }
  return {};
}

bool IdentifyArchive(const std::string& path, RomRecord* result) {
  SessionState& session = Session();
  session.archive_mode = true;
  Env* env = Env::Default();
  const std::string tmp = TmpFolder();
  // The archive libraries open what they are given and would wait for ever on a pipe: only a
  // regular file is handed to them.
  FileInfo info;
  if (env->GetFileInfo(path, /*follow_links=*/true, &info).ok() && info.type != EntryType::kFile) {
    LogFailure(FailureLine::kCannotRead, path);
    session.current_path = path;
    return false;
  }
  // Members are extracted only into the program's own scratch folder, never through a link.
  if (!ScratchFolderIsOwn()) {
    LogFailure(FailureLine::kCannotExtract, path);
    session.current_path = path;
    return false;
  }

  const Extraction extraction = ArchiveExtension(path) == ".7z"
                                    ? Extract<SevenZipExtractor>(path, tmp)
                                    : Extract<ZipExtractor>(path, tmp);
  if (!extraction.any_member) {
    WriteLog("No file in: " + path + "\r\n\r\n");
    return true;
  }

  const std::vector<std::string> members = TakeExtractedFiles(env, tmp, extraction.written);
  if (!extraction.complete) {
    // Partial members are never identified: a full disk must not turn a complete archive into
    // an unknown one.
    LogFailure(FailureLine::kCannotExtract, path);
    session.current_path = path;
    return false;
  }
  WriteLog("File unzipped: " + path + "\r\n Containing:\r\n");

  for (const std::string& member : members) {
    if (!IdentifyPlainFile(member, result, "  - ")) {
      session.current_path = path;
      Database().ClearFoundFlags();
      return false;
    }
  }

  *result = RomRecord();
  int32_t best = 0;
  if (session.TallyBest(&best)) {
    const RomDatabase& db = Database();
    const SetRecord& set = db.GetSet(static_cast<uint32_t>(best));
    result->name = set.display_name;
    // The set's own system: an extra member of another system must not decide where it goes.
    result->system = set.rom_indices.empty()
                         ? session.current_system
                         : db.RomSystem(static_cast<uint32_t>(set.rom_indices[0]));
    FinishArchive(path, result);
    WriteLog(" Found set: " + result->name + "\r\n\r\n");
    return true;
  }
  FinishArchive(path, result);
  WriteLog(" No set found\r\n\r\n");
  return true;
}

}  // namespace cartidex
