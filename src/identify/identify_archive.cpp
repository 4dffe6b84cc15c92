#include "identify/identify_archive.h"

#include <cstdint>
#include <vector>

#include "identify/failure_log.h"
#include "identify/identify_file.h"
#include "identify/session_state.h"
#include "platform/activity_log.h"
#include "platform/env.h"
#include "platform/program_folder.h"
#include "romdb/rom_database.h"
#include "zip/zip_extractor.h"

namespace cartidex {

namespace {

// Lists the files in `tmp` (folders are no members) and records every one of them in the
// session before any is identified, so that all of them are deleted by the next identification
// or by closing, whatever happens to the members. Gives the members to identify: the files
// whose names do not begin with '.'. False when the folder cannot be listed.
bool TakeExtractedFiles(Env* env, const std::string& tmp, std::vector<std::string>* members) {
  members->clear();
  std::vector<DirEntry> entries;
  if (!env->ListFolder(tmp, "*.*", &entries).ok()) return false;
  SessionState& session = Session();
  for (const DirEntry& entry : entries) {
    if (entry.is_folder) continue;
    session.extracted_files.push_back(tmp + entry.name);
    if (entry.name[0] != '.') members->push_back(session.extracted_files.back());
  }
  return true;
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

bool IdentifyArchive(const std::string& path, RomRecord* result) {
  SessionState& session = Session();
  session.archive_mode = true;
  Env* env = Env::Default();
  const std::string tmp = TmpFolder();

  ZipExtractor zip;
  zip.Open(path.c_str());
  zip.SetOutputFolder(tmp);
  if (zip.GetFileCount() == 0) {
    zip.Close();
    WriteLog("No file in: " + path + "\r\n\r\n");
    return true;
  }
  // Matches count only for this archive: a slot marked before it must not hide a ROM it lacks.
  Database().ClearFoundFlags();
  const bool extracted = zip.ExtractAll(/*ignore_paths=*/true);
  zip.Close();

  std::vector<std::string> members;
  const bool listed = TakeExtractedFiles(env, tmp, &members);
  if (!extracted) {
    // Partial members are never identified: a full disk must not turn a complete archive into
    // an unknown one.
    LogIdentifyFailure(IdentifyFailure::kCannotExtract, path);
    session.current_path = path;
    return false;
  }
  WriteLog("File unzipped: " + path + "\r\n Containing:\r\n");

  if (listed) {
    for (const std::string& member : members) {
      WriteLog("  - ");
      if (!IdentifyPlainFile(member, result)) {
        session.current_path = path;
        Database().ClearFoundFlags();
        return false;
      }
    }
  }

  *result = RomRecord();
  int32_t best = 0;
  if (listed && session.TallyBest(&best)) {
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
