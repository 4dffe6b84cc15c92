#include "romdb/own_line_reader.h"

#include "romdb/rom_database.h"
#include "romdb/set_builder.h"

namespace cartidex {

namespace {

// Longest field a line may use, in bytes.
constexpr size_t kMaxField = 259;

// Lines a batch holds: enough that handing a batch over costs little, few enough that a batch
// stays in the cache between the two cores.
constexpr size_t kBatchLines = 1024;

}  // namespace

OwnLineReader::OwnLineReader(std::string_view contents, bool file_start) : text_(contents) {
  if (file_start && text_.starts_with("\xEF\xBB\xBF")) pos_ = 3;
}

bool OwnLineReader::Next(OwnBatch* batch) {
  batch->lines.clear();
  batch->roms.clear();
  while (batch->lines.size() < kBatchLines && pos_ < text_.size() && text_[pos_] != '\0') {
    ReadLine(batch);
  }
  return !batch->lines.empty();
}

void OwnLineReader::ReadLine(OwnBatch* batch) {
  ++number_;
  cut_.Cut(text_, pos_);
  const size_t end = cut_.end();
  // CR LF is one line end; a lone CR, a lone LF and a NUL inside a line are each one byte.
  if (end >= text_.size()) {
    pos_ = text_.size();
  } else {
    pos_ = (text_[end] == '\r' && end + 1 < text_.size() && text_[end + 1] == '\n') ? end + 2
                                                                                    : end + 1;
  }

  if (cut_.group_count() >= 2 && cut_.field(0, 0) == "#console#") {
    const std::string_view system = cut_.field(1, 0);
    if (system.size() > kMaxText) {
      AddLine(OwnLine::Kind::kRefused, {}, kTextTooLong, batch);
    } else {
      AddLine(OwnLine::Kind::kSystem, system, nullptr, batch);
    }
    return;
  }
  if (cut_.group_count() < 3) return;

  const size_t first = batch->roms.size();
  if (const char* reason = ReadSet(batch)) {
    batch->roms.resize(first);
    AddLine(OwnLine::Kind::kRefused, {}, reason, batch);
    return;
  }
  OwnLine& line = AddLine(OwnLine::Kind::kSet, SetNameStem(cut_.field_at(0)), nullptr, batch);
  line.first_rom = static_cast<uint32_t>(first);
  line.rom_count = static_cast<uint32_t>(batch->roms.size() - first);
}

const char* OwnLineReader::ReadSet(OwnBatch* batch) {
  // The first three groups are the names (the set's, then its ROMs'), the sizes and the CRC-32s;
  // each of the last two begins with a field that is not used. A set line without ROM fields is
  // a set of one ROM, named like the set.
  const size_t n = cut_.field_count(0) - 1;
  if (n > static_cast<size_t>(kMaxRomsPerSet)) return kTooManyRoms;
  if (n > 0 && (cut_.field_count(1) < n + 1 || cut_.field_count(2) < n + 1)) {
    return kMissingFields;
  }
  if (cut_.field_at(0).size() > kMaxField) return kTextTooLong;
  const size_t first = batch->roms.size();
  const size_t sizes = cut_.GroupBegin(1);
  const size_t crcs = cut_.GroupBegin(2);
  for (size_t j = n == 0 ? 0 : 1; j <= n; ++j) {
    const std::string_view rom = cut_.field_at(j);
    const std::string_view size = cut_.field_at(sizes + j);
    const std::string_view crc = cut_.field_at(crcs + j);
    if (rom.size() > kMaxField || size.size() > kMaxField || crc.size() > kMaxField) {
      return kTextTooLong;
    }
    batch->roms.push_back({rom, size, crc});
  }
  // The texts' capacities are known without the database; only its room is left to check.
  // Systems longer than a text never reach a set.
  return CheckSetTexts(SetNameStem(cut_.field_at(0)).size() + kSetSuffix.size(),
                       std::span<const OwnRomFields>(batch->roms).subspan(first), {});
}

OwnLine& OwnLineReader::AddLine(OwnLine::Kind kind, std::string_view text, const char* reason,
                                OwnBatch* batch) {
  // Filled in place: a line put together elsewhere and copied in costs more than its reading.
  OwnLine& line = batch->lines.emplace_back();
  line.kind = kind;
  line.number = number_;
  line.text = text;
  line.reason = reason;
  return line;
}

}  // namespace cartidex
