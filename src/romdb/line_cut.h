// LineCut: where the fields of one line of an own-format datafile begin. A line ends at the first
// CR, LF or NUL byte or at the end of the text; ':' separates fields and ';' separates groups of
// fields. Only the first three groups hold fields that a set line uses; later ones only count.
#ifndef CARTIDEX_ROMDB_LINE_CUT_H_
#define CARTIDEX_ROMDB_LINE_CUT_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace cartidex {

class LineCut {
 public:
  // Cuts the line of `text` that begins at `start`. The room for the cut is kept from line to
  // line.
  void Cut(std::string_view text, size_t start);

  // Where the line ends: the position of its CR, LF or NUL byte, or the size of the text.
  size_t end() const { return end_; }
  // The number of groups, 1, 2 or 3 (three or more).
  size_t group_count() const { return semicolons_ < 2 ? semicolons_ + 1 : 3; }
  // The number of fields of `group` (0, 1 or 2; 0 for a group the line does not have).
  size_t field_count(size_t group) const {
    return group < group_count() ? GroupEnd(group) - GroupBegin(group) : 0;
  }
  // Field `i` of `group`, which must exist.
  std::string_view field(size_t group, size_t i) const { return field_at(GroupBegin(group) + i); }

  // The fields numbered across the line: group g holds [GroupBegin(g), GroupEnd(g)).
  size_t GroupBegin(size_t group) const { return group == 0 ? 0 : semicolon_at_[group - 1] + 1; }
  std::string_view field_at(size_t f) const {
    return std::string_view(text_ + starts_[f], starts_[f + 1] - 1 - starts_[f]);
  }

 private:
  size_t GroupEnd(size_t group) const {
    return group < semicolons_ ? semicolon_at_[group] + 1 : count_ - 1;
  }
  // Notes the separators of one block of the line, whose first byte is at `base`: bit b of `sep`
  // is set for a ':' or ';' at base + b, of `semi` for a ';'. True once the third ';' is noted:
  // the fields that matter are then all known, and later separators are left out. Needs room
  // for one more start than `sep` has bits.
  bool Note(size_t base, uint64_t sep, uint64_t semi);
  // The end of the line from `i` on.
  static size_t FindEnd(const char* s, size_t i, size_t size);
  // Makes room for `more` more starts, keeping those noted.
  void Reserve(size_t more) {
    if (capacity_ - count_ < more) Grow(more);
  }
  void Grow(size_t more);

  const char* text_ = nullptr;
  size_t end_ = 0;
  // starts_[f] is where field f begins; starts_[count_ - 1] is one past the end of the last field
  // (the line's end, or the third ';'), as if a separator stood there.
  std::unique_ptr<size_t[]> starts_;
  size_t count_ = 0;
  size_t capacity_ = 0;
  // The field numbers that end at each of the first three ';'.
  std::array<size_t, 3> semicolon_at_{};
  size_t semicolons_ = 0;
};

}  // namespace cartidex

#endif  // CARTIDEX_ROMDB_LINE_CUT_H_
