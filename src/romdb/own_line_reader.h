// OwnLineReader: reads the lines of an own-format datafile into what the database needs of them,
// batch by batch, touching nothing but the text: a load can read the next batch on one core
// while another adds the last one to the database.
#ifndef CARTIDEX_ROMDB_OWN_LINE_READER_H_
#define CARTIDEX_ROMDB_OWN_LINE_READER_H_

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/decimal_text.h"
#include "romdb/byte_lanes.h"
#include "romdb/line_cut.h"

namespace cartidex {

// One line that matters to the load. Texts are views into the datafile's contents.
struct OwnLine {
  enum class Kind : uint8_t {
    kSystem,  // "#console#;SYSTEM": `text` is the system of the sets that follow
    // A set line whose fields are all there and whose texts fit: `text` is the set's name cut at
    // its last '.' (the set is named that followed by kSetSuffix) and its ROMs are
    // roms[first_rom, first_rom + rom_count).
    kSet,
    kRefused  // refused for how its fields stand: logged with `reason`
  };
  Kind kind;
  uint64_t number;  // the line's number, from 1
  std::string_view text;
  const char* reason;
  uint32_t first_rom;
  uint32_t rom_count;
};

// A ROM's fields as its line gives them. Their numbers are read where the ROM is added, so that
// the reading and the adding of a load take about as long each.
struct OwnRomFields {
  std::string_view name;
  std::string_view size;
  std::string_view crc;
};

struct OwnBatch {
  std::vector<OwnLine> lines;
  std::vector<OwnRomFields> roms;
};

// StrToInt of `field`, a size field of `text` (which holds it). A field of one to eight digits
// with eight bytes of the text from its start, the usual case, is read eight bytes at once.
// Inline: a load reads one for every ROM.
inline uint32_t ReadSizeField(std::string_view field, std::string_view text) {
  const size_t n = field.size();
  if (n == 0 || n > 8 || static_cast<size_t>(text.data() + text.size() - field.data()) < 8) {
    return static_cast<uint32_t>(StrToInt(field));
  }
  // The field's first byte in the lowest byte of `chunk`.
  uint64_t chunk = LoadBytes(field.data());
  // The field's digits to the high bytes, the first the lowest of them; '0's before them.
  constexpr uint64_t kZeros = 0x3030303030303030ull;
  chunk = n == 8 ? chunk : (chunk << (8 * (8 - n))) | (kZeros >> (8 * n));
  constexpr uint64_t kHigh = 0xF0F0F0F0F0F0F0F0ull;
  if ((chunk & kHigh) != kZeros || ((chunk + 0x0606060606060606ull) & kHigh) != kZeros) {
    return static_cast<uint32_t>(StrToInt(field));  // a sign, or bytes that are not digits
  }
  chunk -= kZeros;
  // Pairs of digits, then fours, then all eight.
  chunk = (chunk * 10 + (chunk >> 8)) & 0x00FF00FF00FF00FFull;
  chunk = (chunk * 100 + (chunk >> 16)) & 0x0000FFFF0000FFFFull;
  chunk = (chunk * 10000 + (chunk >> 32)) & 0xFFFFFFFFull;
  return static_cast<uint32_t>(chunk);
}

class OwnLineReader {
 public:
  // Lines end at CR LF, a lone LF, a lone CR or a NUL; a NUL where a line would begin ends the
  // text; a leading UTF-8 byte-order mark is skipped when `file_start`. `contents` must outlive
  // the reader and the batches it fills.
  explicit OwnLineReader(std::string_view contents, bool file_start = true);

  // The lines read so far.
  uint64_t lines() const { return number_; }
  // True when a NUL where a line would begin ended the text before its end.
  bool stopped() const { return pos_ < text_.size(); }

  // Replaces `batch` with the next lines that matter (lines that are neither a system line nor
  // a set line are passed over); false when the text is done and the batch empty.
  bool Next(OwnBatch* batch);

 private:
  // Reads the line that begins at pos_ into `batch` and moves pos_ past its end.
  void ReadLine(OwnBatch* batch);
  // Adds the ROMs of the set line just cut to `batch`; or gives why the line is refused (ROMs it
  // added then stay, for the caller to drop).
  const char* ReadSet(OwnBatch* batch);
  OwnLine& AddLine(OwnLine::Kind kind, std::string_view text, const char* reason, OwnBatch* batch);

  std::string_view text_;
  size_t pos_ = 0;
  uint64_t number_ = 0;
  LineCut cut_;
};

}  // namespace cartidex

#endif  // CARTIDEX_ROMDB_OWN_LINE_READER_H_
