#include "romdb/datafile_loader.h"

#include <vector>

#include "platform/activity_log.h"
#include "platform/decimal_text.h"
#include "platform/env.h"
#include "platform/path.h"
#include "platform/program_folder.h"
#include "romdb/dat_file.h"
#include "romdb/dat_format.h"
#include "romdb/line_cut.h"
#include "romdb/parse_hex.h"
#include "romdb/rom_database.h"
#include "romdb/set_builder.h"

namespace cartidex {

namespace {

// Longest field a line may use, in bytes.
constexpr size_t kMaxField = 259;

class OwnFormatParser {
 public:
  explicit OwnFormatParser(RomDatabase* db) : db_(db) {}

  // Parses the line that begins at `p` and ends at the first CR, LF or NUL byte or at the end
  // of `text`; gives the position where it ends.
  size_t ParseLine(std::string_view text, size_t p, uint64_t number) {
    cut_.Cut(text, p);
    if (cut_.group_count() >= 2 && cut_.field(0, 0) == "#console#") {
      std::string_view system = cut_.field(1, 0);
      if (system.size() > kMaxText) {
        LogSkippedLine(number, kTextTooLong);
      } else {
        system_.assign(system);
      }
      return cut_.end();
    }
    if (cut_.group_count() < 3) return cut_.end();
    if (const char* reason = AddSetLine()) LogSkippedLine(number, reason);
    return cut_.end();
  }

 private:
  // The first three groups are the names (the set's, then its ROMs'), the sizes and the CRC-32s;
  // each of the last two begins with a field that is not used.
  const char* AddSetLine() {
    const size_t n = cut_.field_count(0) - 1;
    if (n > static_cast<size_t>(kMaxRomsPerSet)) return kTooManyRoms;
    if (n > 0 && (cut_.field_count(1) < n + 1 || cut_.field_count(2) < n + 1)) {
      return kMissingFields;
    }

    const size_t first = n == 0 ? 0 : 1;
    roms_.clear();
    const std::string_view set = cut_.field(0, 0);
    if (set.size() > kMaxField) return kTextTooLong;
    for (size_t j = first; j <= n; ++j) {
      const std::string_view name = cut_.field(0, j);
      const std::string_view size = cut_.field(1, j);
      const std::string_view crc = cut_.field(2, j);
      if (name.size() > kMaxField || size.size() > kMaxField || crc.size() > kMaxField) {
        return kTextTooLong;
      }
      roms_.push_back({name, static_cast<uint32_t>(StrToInt(size)), ParseHex(crc)});
    }
    return AddCheckedSet(db_, set, roms_, system_);
  }

  RomDatabase* db_;
  std::string system_ = kUnknown;
  LineCut cut_;
  std::vector<ParsedRom> roms_;
};

// True for a name ending in ".cxi", in any letter case, as the listing takes them.
bool IsOwnDatafileName(std::string_view name) {
  if (name.size() < 4) return false;
  std::string_view ext = name.substr(name.size() - 4);
  return ext[0] == '.' && (ext[1] | 0x20) == 'c' && (ext[2] | 0x20) == 'x' &&
         (ext[3] | 0x20) == 'i';
}

}  // namespace

void ParseOwnDatafile(std::string_view contents, RomDatabase* db) {
  OwnFormatParser parser(db);
  size_t p = 0;
  if (contents.starts_with("\xEF\xBB\xBF")) p = 3;
  uint64_t number = 0;
  const size_t size = contents.size();
  while (p < size && contents[p] != '\0') {
    const size_t e = parser.ParseLine(contents, p, ++number);
    if (e >= size) break;
    // CR LF is one line end; a lone CR, a lone LF and a NUL inside a line are each one byte.
    p = (contents[e] == '\r' && e + 1 < size && contents[e + 1] == '\n') ? e + 2 : e + 1;
  }
}

void LoadDatafile(const std::string& name) {
  WriteLog(" - " + name + "\r\n");
  std::string path = DatfilesFolder() + name;
  if (!PathFits(path)) {
    WriteLog(" ! Path too long\r\n");
    return;
  }
  std::string contents;
  if (!ReadWholeFile(Env::Default(), path, &contents).ok()) return;
  if (IsOwnDatafileName(name)) {
    ParseOwnDatafile(contents, &Database());
    return;
  }
  DatFile dat;
  if (!ReadDat(&contents, &dat)) {
    WriteLog(" ! Not a datafile\r\n");
    return;
  }
  AddDatFile(dat, &Database());
}

void LoadDatafiles() {
  Database().Clear();
  Env* env = Env::Default();
  const std::string folder = DatfilesFolder();
  env->CreateFolder(folder);
  WriteLog("Loading datafiles :\r\n");
  // The own files first, so that their entries keep the places they had before DATs were read.
  for (const char* pattern : {"*.cxi", "*.dat", "*.xml"}) {
    std::vector<DirEntry> entries;
    env->ListFolder(folder, pattern, &entries);
    for (const DirEntry& entry : entries) {
      if (entry.name[0] == '.') continue;
      LoadDatafile(entry.name);
    }
  }
}

}  // namespace cartidex
