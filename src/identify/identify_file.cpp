#include "identify/identify_file.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

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

// The digests a pass over a file computes: those that some ROM of the data's size has, so
// that a file is read once and only files that may meet a digest pay for one.
DigestWants WantedDigests(uint32_t size) {
  const RomDatabase& db = Database();
  return DigestWants{db.AnyDigestOfSize(HashKind::kSha1, size),
                     db.AnyDigestOfSize(HashKind::kMd5, size)};
}

// Why entries that matched by CRC-32 and size were refused: their digest differs.
enum class Refusal { kNone, kSha1, kMd5 };

// The next entry after *index, round the table as FindRom goes, whose CRC-32 and size are the
// data's and whose SHA-1 (or, without one, MD5), when it has one, is the data's too. Entries
// refused by their digest are passed over, and *refusal learns the kind of the first one when it
// knows none yet. nullopt when no such entry is left.
std::optional<RomRecord> NextMatch(const DataSums& data, uint32_t* index, Refusal* refusal) {
  const RomDatabase& db = Database();
  std::optional<uint32_t> first_refused;
  for (;;) {
    bool found = false;
    uint32_t at = *index;
    RomRecord rom = db.FindRom(data.crc, data.size, &found, &at);
    if (!found || at == first_refused) return std::nullopt;
    *index = at;
    const std::optional<RomHash> hash = db.RomDigest(at);
    if (!hash) return rom;
    // A digest the pass did not compute (the file changed size while read) equals nothing.
    const std::optional<Digest>& mine = hash->kind == HashKind::kSha1 ? data.sha1 : data.md5;
    if (mine && *mine == hash->digest) return rom;
    if (*refusal == Refusal::kNone) {
      *refusal = hash->kind == HashKind::kSha1 ? Refusal::kSha1 : Refusal::kMd5;
    }
    if (!first_refused) first_refused = at;
  }
}

// Looks the data up: on a match, the entry goes into *result, one "I" per entry visited onto
// *line, and the entries are marked found (in an archive every entry of this CRC-32 and size,
// each counted for its set). False when nothing matched.
bool LookUp(const DataSums& data, RomRecord* result, std::string* line, Refusal* refusal) {
  SessionState& session = Session();
  uint32_t index = 0;
  std::optional<RomRecord> match = NextMatch(data, &index, refusal);
  if (!match) return false;
  *result = std::move(*match);
  *line += "I";
  session.current_system = result->system;
  const bool ok = MarkMatch(*result);
  if (session.archive_mode && ok) {
    // Every further entry with the same CRC-32 and size: the ROM may belong to several sets,
    // or twice to one.
    const uint32_t first = index;
    Refusal ignored = Refusal::kNone;
    for (;;) {
      std::optional<RomRecord> next = NextMatch(data, &index, &ignored);
      if (!next || index == first) break;
      *line += "I";
      if (!MarkMatch(*next)) break;
    }
  }
  return true;
}

// The size and CRC-32 of a run of data as the log shows them.
void AppendSums(const DataSums& data, std::string* line) {
  *line += " Size: ";
  *line += FormatDecimal(data.size);
  *line += " CRC32: ";
  *line += FormatDecimal(data.crc);
  *line += " Found: ";
}

}  // namespace

bool IdentifyPlainFile(const std::string& path, RomRecord* result, std::string_view line_start) {
  SessionState& session = Session();
  session.current_path = path;
  *result = RomRecord();

  FileSums sums;
  const ChecksumOutcome outcome = SumFile(path, WantedDigests, &sums);
  if (outcome != ChecksumOutcome::kRead) {
    if (!line_start.empty()) WriteLog(line_start);
    if (outcome == ChecksumOutcome::kUnreadable) LogFailure(FailureLine::kCannotRead, path);
    return false;
  }

  // The line is composed whole and handed to the log in one write: nothing else logs while it
  // is built, so the log receives the same bytes as from one write per piece.
  std::string line;
  line.reserve(line_start.size() + path.size() + 128);
  line += line_start;
  line += "Opened: ";
  line += path;
  AppendSums(sums.whole, &line);

  // The whole contents first: DATs that list headered files, and files without a known header,
  // are looked up exactly as they always were.
  Refusal refusal = Refusal::kNone;
  bool found = LookUp(sums.whole, result, &line, &refusal);
  if (!found && sums.header_size > 0) {
    line += "No Header: ";
    line += FormatDecimal(sums.header_size);
    AppendSums(sums.body, &line);
    found = LookUp(sums.body, result, &line, &refusal);
  }
  if (!found) {
    result->set_index = -1;
    result->slot = -1;
    line += "No";
    if (refusal == Refusal::kSha1) line += " (SHA-1 differs)";
    if (refusal == Refusal::kMd5) line += " (MD5 differs)";
  }
  line += "\r\n";
  WriteLog(line);
  return true;
}

bool IdentifyFile(const std::string& path, RomRecord* result) {
  if (ArchiveExtension(path).empty()) return IdentifyPlainFile(path, result);
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
