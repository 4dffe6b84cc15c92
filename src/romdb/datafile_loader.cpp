#include "romdb/datafile_loader.h"

#include <array>
#include <vector>

#include "platform/activity_log.h"
#include "platform/decimal_text.h"
#include "platform/env.h"
#include "platform/path.h"
#include "platform/program_folder.h"
#include "romdb/dat_file.h"
#include "romdb/dat_format.h"
#include "romdb/parse_hex.h"
#include "romdb/rom_database.h"
#include "romdb/set_builder.h"

namespace cartidex {

namespace {

// Longest field a line may use, in bytes.
constexpr size_t kMaxField = 259;

// The fields of one group, split at ':', at most `limit` of them (the rest are never used).
std::vector<std::string_view> SplitFields(std::string_view group, size_t limit) {
  std::vector<std::string_view> fields;
  size_t start = 0;
  while (fields.size() < limit) {
    size_t colon = group.find(':', start);
    if (colon == std::string_view::npos) {
      fields.push_back(group.substr(start));
      break;
    }
    fields.push_back(group.substr(start, colon - start));
    start = colon + 1;
  }
  return fields;
}

size_t CountColons(std::string_view group) {
  size_t n = 0;
  for (char c : group) n += c == ':';
  return n;
}

// One line, cut into its first three groups; further groups only count.
struct Line {
  std::array<std::string_view, 3> groups;
  size_t group_count = 0;  // 1, 2 or 3 (three or more)
};

Line CutLine(std::string_view text) {
  Line line;
  size_t start = 0;
  while (line.group_count < 3) {
    size_t semi = text.find(';', start);
    line.groups[line.group_count++] =
        text.substr(start, semi == std::string_view::npos ? semi : semi - start);
    if (semi == std::string_view::npos) break;
    start = semi + 1;
  }
  return line;
}

class OwnFormatParser {
 public:
  explicit OwnFormatParser(RomDatabase* db) : db_(db) {}

  void ParseLine(std::string_view text, uint64_t number) {
    Line line = CutLine(text);
    std::string_view field0 = line.groups[0].substr(0, line.groups[0].find(':'));
    if (field0 == "#console#" && line.group_count >= 2) {
      std::string_view system = line.groups[1].substr(0, line.groups[1].find(':'));
      if (system.size() > kMaxText) {
        LogSkippedLine(number, kTextTooLong);
      } else {
        system_.assign(system);
      }
      return;
    }
    if (line.group_count < 3) return;
    if (const char* reason = AddSetLine(line)) LogSkippedLine(number, reason);
  }

 private:
  const char* AddSetLine(const Line& line) {
    const size_t n = CountColons(line.groups[0]);
    if (n > static_cast<size_t>(kMaxRomsPerSet)) return kTooManyRoms;
    std::vector<std::string_view> names = SplitFields(line.groups[0], n + 1);
    std::vector<std::string_view> sizes = SplitFields(line.groups[1], n + 1);
    std::vector<std::string_view> crcs = SplitFields(line.groups[2], n + 1);
    if (n > 0 && (sizes.size() < n + 1 || crcs.size() < n + 1)) return kMissingFields;

    const size_t first = n == 0 ? 0 : 1;
    std::vector<ParsedRom> roms;
    roms.reserve(n == 0 ? 1 : n);
    if (names[0].size() > kMaxField) return kTextTooLong;
    for (size_t j = first; j <= n; ++j) {
      if (names[j].size() > kMaxField || sizes[j].size() > kMaxField ||
          crcs[j].size() > kMaxField) {
        return kTextTooLong;
      }
      roms.push_back({names[j], static_cast<uint32_t>(StrToInt(sizes[j])), ParseHex(crcs[j])});
    }
    return AddCheckedSet(db_, names[0], roms, system_);
  }

  RomDatabase* db_;
  std::string system_ = kUnknown;
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
    size_t e = p;
    while (e < size && contents[e] != '\r' && contents[e] != '\n' && contents[e] != '\0') ++e;
    parser.ParseLine(contents.substr(p, e - p), ++number);
    if (e >= size) break;
    // CR LF is one line end; a lone CR, a lone LF and a NUL inside a line are each one byte.
    p = (contents[e] == '\r' && e + 1 < size && contents[e + 1] == '\n') ? e + 2 : e + 1;
  }
}

void LoadDatafile(const std::string& name) {
  WriteLog(" - ");
  WriteLog(name);
  WriteLog("\r\n");
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
