#include "romdb/datafile_loader.h"

#include <array>
#include <bit>
#include <cstring>
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

// How the parse sees a byte.
enum ByteClass : uint8_t { kPlain, kColon, kSemicolon, kLineEnd };

constexpr std::array<uint8_t, 256> kByteClass = [] {
  std::array<uint8_t, 256> classes{};
  classes[':'] = kColon;
  classes[';'] = kSemicolon;
  classes['\r'] = kLineEnd;
  classes['\n'] = kLineEnd;
  classes['\0'] = kLineEnd;
  return classes;
}();

// The bytes of `word` that are zero, as the top bit of each such byte (exact: no bit is set for
// a byte that is not zero, whatever its neighbours hold).
constexpr uint64_t ZeroBytes(uint64_t word) {
  constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
  return ~(((word & kLow7) + kLow7) | word | kLow7);
}

// The position of the first byte from `i` on that is not kPlain, or `size`. Eight bytes at a
// time where it can: set lines are mostly long runs of name and digit bytes.
size_t SkipPlain(const char* s, size_t i, size_t size) {
  if constexpr (std::endian::native == std::endian::little) {
    constexpr uint64_t kOnes = 0x0101010101010101ull;
    while (size - i >= 8) {
      uint64_t word;
      std::memcpy(&word, s + i, 8);
      // ':' and ';' differ only in the lowest bit.
      const uint64_t special = ZeroBytes((word | kOnes) ^ (kOnes * ';')) |
                               ZeroBytes(word ^ (kOnes * '\r')) | ZeroBytes(word ^ (kOnes * '\n')) |
                               ZeroBytes(word);
      if (special != 0) return i + static_cast<size_t>(std::countr_zero(special)) / 8;
      i += 8;
    }
  }
  while (i < size && kByteClass[static_cast<unsigned char>(s[i])] == kPlain) ++i;
  return i;
}

class OwnFormatParser {
 public:
  explicit OwnFormatParser(RomDatabase* db) : db_(db) {}

  // Parses the line that begins at `p` and ends at the first CR, LF or NUL byte or at the end
  // of `text`; gives the position where it ends.
  size_t ParseLine(std::string_view text, size_t p, uint64_t number) {
    const size_t end = CutLine(text, p);
    std::string_view field0 = fields_[0][0];
    if (field0 == "#console#" && group_count_ >= 2) {
      std::string_view system = fields_[1][0];
      if (system.size() > kMaxText) {
        LogSkippedLine(number, kTextTooLong);
      } else {
        system_.assign(system);
      }
      return end;
    }
    if (group_count_ < 3) return end;
    if (const char* reason = AddSetLine()) LogSkippedLine(number, reason);
    return end;
  }

 private:
  // Finds the end of the line that begins at `p` and cuts the line into the fields of its first
  // three groups, in one pass; further groups only count. The vectors keep their room from line
  // to line.
  size_t CutLine(std::string_view text, size_t p) {
    for (auto& fields : fields_) fields.clear();
    const char* const s = text.data();
    const size_t size = text.size();
    size_t group = 0;
    size_t start = p;
    size_t i = p;
    for (;;) {
      i = SkipPlain(s, i, size);
      if (i >= size || kByteClass[static_cast<unsigned char>(s[i])] == kLineEnd) break;
      fields_[group].push_back(std::string_view(s + start, i - start));
      const bool semicolon = s[i] == ';';
      start = ++i;
      if (semicolon && ++group == 3) {
        while (i < size && kByteClass[static_cast<unsigned char>(s[i])] != kLineEnd) ++i;
        break;
      }
    }
    if (group < 3) fields_[group].push_back(std::string_view(s + start, i - start));
    group_count_ = group < 3 ? group + 1 : 3;
    return i;
  }

  const char* AddSetLine() {
    const std::vector<std::string_view>& names = fields_[0];
    const size_t n = names.size() - 1;
    if (n > static_cast<size_t>(kMaxRomsPerSet)) return kTooManyRoms;
    const std::vector<std::string_view>& sizes = fields_[1];
    const std::vector<std::string_view>& crcs = fields_[2];
    if (n > 0 && (sizes.size() < n + 1 || crcs.size() < n + 1)) return kMissingFields;

    const size_t first = n == 0 ? 0 : 1;
    roms_.clear();
    if (names[0].size() > kMaxField) return kTextTooLong;
    for (size_t j = first; j <= n; ++j) {
      if (names[j].size() > kMaxField || sizes[j].size() > kMaxField ||
          crcs[j].size() > kMaxField) {
        return kTextTooLong;
      }
      roms_.push_back({names[j], static_cast<uint32_t>(StrToInt(sizes[j])), ParseHex(crcs[j])});
    }
    return AddCheckedSet(db_, names[0], roms_, system_);
  }

  RomDatabase* db_;
  std::string system_ = kUnknown;
  std::array<std::vector<std::string_view>, 3> fields_;
  size_t group_count_ = 0;  // 1, 2 or 3 (three or more)
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
