#include "identify/identify_file.h"

#include <cstdint>
#include <string>

#include "identify/file_checksum.h"
#include "identify/identify_archive.h"
#include "identify/number_text.h"
#include "identify/session_state.h"
#include "platform/activity_log.h"
#include "platform/dialog_view.h"
#include "platform/env.h"
#include "platform/failure_lines.h"
#include "platform/path.h"
#include "romdb/rom_database.h"

namespace cartidex {

namespace {

// Only the exact lower-case extensions make an archive; "GAME.ZIP" is a plain file.
bool IsArchivePath(const std::string& path) {
  return path.ends_with(".zip") || path.ends_with(".7z");
}

// Marks one matching entry found and, in an archive, counts it for its set. A slot already
// marked by another member is not counted again, so two copies of one ROM never stand in for a
// ROM the archive lacks. False when the entry's set or slot is not loaded.
bool MarkMatch(const RomRecord& match) {
  SessionState& session = Session();
  bool newly = false;
  if (!Database().MarkRomFound(match.set_index, match.slot, &newly)) return false;
  if (session.archive_mode && newly) session.TallyAdd(match.set_index);
  return true;
}

}  // namespace

bool IdentifyPlainFile(const std::string& path, RomRecord* result, std::string_view line_start) {
  SessionState& session = Session();
  session.current_path = path;
  *result = RomRecord();

  uint32_t crc = 0;
  uint32_t size = 0;
  const ChecksumOutcome outcome = ChecksumFile(path, &crc, &size);
  if (outcome != ChecksumOutcome::kRead) {
    if (!line_start.empty()) WriteLog(line_start);
    if (outcome == ChecksumOutcome::kUnreadable) LogFailure(FailureLine::kCannotRead, path);
    return false;
  }

  // The line is composed whole and handed to the log in one write: nothing else logs while it
  // is built, so the log receives the same bytes as from one write per piece.
  std::string line;
  line.reserve(line_start.size() + path.size() + 64);
  line += line_start;
  line += "Opened: ";
  line += path;
  line += " Size: ";
  line += FormatDecimal(size);
  line += " CRC32: ";
  line += FormatDecimal(crc);
  line += " Found: ";

  const RomDatabase& db = Database();
  bool found = false;
  uint32_t index = 0;
  *result = db.FindRom(crc, size, &found, &index);
  if (!found) {
    result->set_index = -1;
    result->slot = -1;
    line += "No\r\n";
    WriteLog(line);
    return true;
  }
  line += "I";
  session.current_system = result->system;
  const bool ok = MarkMatch(*result);
  if (session.archive_mode && ok) {
    // Every further entry with the same CRC-32 and size: the ROM may belong to several sets,
    // or twice to one.
    const uint32_t first = index;
    for (;;) {
      RomRecord next = db.FindRom(crc, size, &found, &index);
      if (!found || index == first) break;
      line += "I";
      if (!MarkMatch(next)) break;
    }
  }
  line += "\r\n";
  WriteLog(line);
  return true;
}

bool IdentifyFile(const std::string& path, RomRecord* result) {
  if (!IsArchivePath(path)) return IdentifyPlainFile(path, result);
  Session().current_path = path;
  *result = RomRecord();
  return IdentifyArchive(path, result);
}

bool IdentifyAndShow(DialogView* view, const std::string& path, RomRecord* result) {
  SessionState& session = Session();
  if (session.archive_mode) {
    Env* env = Env::Default();
    for (const std::string& file : session.extracted_files) env->DeleteFile(file);
  }
  session.extracted_files.clear();
  session.current_path.clear();
  session.archive_mode = false;
  session.tally = SetTally();

  if (!IdentifyFile(path, result)) {
    for (int id : {kIdFilenameField, kIdNameField, kIdSystemField, kIdCrcField, kIdSizeField}) {
      view->SetText(id, "Error");
    }
    return false;
  }
  // "Zipfile" marks an archive's result only; a ROM may well have the CRC-32 FFFFFFFE.
  const bool archive = session.archive_mode;
  view->SetText(kIdFilenameField, BaseName(path));
  view->SetText(kIdNameField, result->name);
  view->SetText(kIdSystemField, result->system);
  view->SetText(kIdCrcField, archive && result->crc == kArchiveMark ? std::string("Zipfile")
                                                                    : FormatHex8(result->crc));
  view->SetText(kIdSizeField, archive && result->size == kArchiveMark
                                  ? std::string("Zipfile")
                                  : FormatDecimal(result->size));
  return result->name != kUnknown;
}

}  // namespace cartidex
