#include "romdb/cxi_reader.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/decimal_text.h"
#include "romdb/parse_hex.h"
#include "romdb/rom_database.h"

namespace cartidex {

namespace {

// What a byte is to the cutting of a line.
enum class ByteKind : uint8_t { kText, kFieldEnd, kGroupEnd, kLineEnd };

constexpr std::array<ByteKind, 256> kByteKinds = [] {
  std::array<ByteKind, 256> kinds{};
  kinds[static_cast<unsigned char>(':')] = ByteKind::kFieldEnd;
  kinds[static_cast<unsigned char>(';')] = ByteKind::kGroupEnd;
  kinds[static_cast<unsigned char>('\r')] = ByteKind::kLineEnd;
  kinds[static_cast<unsigned char>('\n')] = ByteKind::kLineEnd;
  kinds[static_cast<unsigned char>('\0')] = ByteKind::kLineEnd;
  return kinds;
}();

ByteKind KindOf(char c) {
  return kByteKinds[static_cast<unsigned char>(c)];
}

// The fields of a line's first three groups; later groups are only passed over.
struct LineFields {
  std::vector<std::string_view> fields;  // in line order
  size_t group_ends[3] = {};             // one past the last field of each group in `fields`
  size_t group_count = 0;                // 1, 2, or 3 for three or more

  std::span<const std::string_view> group(size_t g) const {
    const size_t begin = g == 0 ? 0 : group_ends[g - 1];
    return std::span<const std::string_view>(fields).subspan(begin, group_ends[g] - begin);
  }
};

// The texts that the functions below cut end with a line end (see ParseOwnDatafile), so that a
// scan along a line stops at its end without checking for the end of the text at every byte.

// The first position from `i` on that holds a separator or a line end.
size_t SkipText(std::string_view text, size_t i) {
  while (KindOf(text[i]) == ByteKind::kText) ++i;
  return i;
}

// Cuts the line that begins at `start` into *line, in one pass; returns the position of the CR,
// LF or NUL that ends it.
size_t CutLine(std::string_view text, size_t start, LineFields* line) {
  line->fields.clear();
  size_t group = 0;
  size_t field_start = start;
  size_t i = SkipText(text, start);
  while (KindOf(text[i]) != ByteKind::kLineEnd && group < 3) {
    line->fields.push_back(text.substr(field_start, i - field_start));
    if (KindOf(text[i]) == ByteKind::kGroupEnd) line->group_ends[group++] = line->fields.size();
    field_start = i + 1;
    i = SkipText(text, field_start);
  }
  if (group < 3) {
    line->fields.push_back(text.substr(field_start, i - field_start));
    line->group_ends[group] = line->fields.size();
  }
  line->group_count = std::min<size_t>(group + 1, 3);
  while (KindOf(text[i]) != ByteKind::kLineEnd) ++i;
  return i;
}

// Where the next line begins after a line that ended at `end`: CR LF is one line end; a lone CR,
// a lone LF and a NUL are one byte each.
size_t NextLineStart(std::string_view text, size_t end) {
  if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') return end + 2;
  return end + 1;
}

// The ROMs of a set line, into *roms; or why the line is refused.
const char* ReadSetLine(const LineFields& line, std::vector<ParsedRom>* roms) {
  const std::span<const std::string_view> names = line.group(0);
  const std::span<const std::string_view> sizes = line.group(1);
  const std::span<const std::string_view> crcs = line.group(2);
  // Field 0 of the sizes and CRC-32s goes with the set's name: it is read only for a set of one
  // ROM named like the set.
  const size_t n = names.size() - 1;
  if (n > static_cast<size_t>(kMaxRomsPerSet)) return kTooManyRoms;
  if (n > 0 && (sizes.size() < n + 1 || crcs.size() < n + 1)) return kMissingFields;
  if (names[0].size() > kMaxField) return kTextTooLong;
  roms->clear();
  for (size_t j = n == 0 ? 0 : 1; j <= n; ++j) {
    if (names[j].size() > kMaxField || sizes[j].size() > kMaxField || crcs[j].size() > kMaxField) {
      return kTextTooLong;
    }
    roms->push_back({names[j], static_cast<uint32_t>(StrToInt(sizes[j])), ParseHex(crcs[j])});
  }
  return nullptr;
}

}  // namespace

void ParseOwnDatafile(std::string_view text, RomDatabase* db) {
  // A last line without a line end is read from a copy that has one (see CutLine).
  std::string ended;
  if (!text.empty() && KindOf(text.back()) != ByteKind::kLineEnd) {
    ended.assign(text);
    ended += '\n';
    text = ended;
  }
  size_t pos = text.starts_with("\xEF\xBB\xBF") ? 3 : 0;
  uint64_t number = 0;
  std::string_view system = kUnknown;
  LineFields line;
  std::vector<ParsedRom> roms;
  while (pos < text.size() && text[pos] != '\0') {
    ++number;
    pos = NextLineStart(text, CutLine(text, pos, &line));
    const char* reason = nullptr;
    if (line.group_count >= 2 && line.fields[0] == "#console#") {
      const std::string_view named = line.group(1)[0];
      if (named.size() > kMaxText) {
        reason = kTextTooLong;
      } else {
        system = named;
      }
    } else if (line.group_count >= 3) {
      reason = ReadSetLine(line, &roms);
      // The set is named after the line's first field cut at its last '.'.
      const std::string_view name = line.fields[0];
      if (reason == nullptr) reason = db->AddSet(name.substr(0, name.rfind('.')), roms, system);
    }
    if (reason != nullptr) LogSkippedLine(number, reason);
  }
}

}  // namespace cartidex
