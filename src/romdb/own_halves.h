// Parsing an own-format datafile in two halves, one on each of two cores, each core reading from
// the file the part of the text it parses.
#ifndef CARTIDEX_ROMDB_OWN_HALVES_H_
#define CARTIDEX_ROMDB_OWN_HALVES_H_

#include <cstddef>
#include <string_view>

#include "platform/env.h"
#include "romdb/datafile_loader.h"

namespace cartidex {

class RomDatabase;

// The text of a datafile in two parts, each read by the core that parses it. The bytes a core
// reads land in its own cache; read by one core and parsed by the other, they would cross
// between the two, which costs about as much as parsing them when the cores are far apart.
class HalvesText {
 public:
  // A text already in memory: both parts are there.
  explicit HalvesText(std::string_view text) : text_(text), second_from_(text.size()) {}
  // The text of `file`, as long as the file was when opened, read into `buffer` part by part.
  // The first part ends some way past the middle, so that the line the halves are cut after
  // is usually in it whole.
  HalvesText(ReadableFile* file, FileBytes* buffer);

  // The whole text; a part's bytes may be looked at once it is read.
  std::string_view text() const { return text_; }
  // Where the second part begins.
  size_t second_from() const { return second_from_; }

  // ReadFirst reads the first part, [0, second_from()), then the second, up to the end, one
  // after the other; ReadSecond, once ReadFirst has returned, tells how the second read went.
  // False when a read fails, or when the file ends elsewhere than it did when opened.
  bool ReadFirst();
  bool ReadSecond();

 private:
  // Reads [from, to) of the file, whose reads stand at `from`, into the buffer; true when it got
  // them all and, when `at_end`, found the file's end right after.
  bool ReadRange(size_t from, size_t to, bool at_end);

  ReadableFile* file_ = nullptr;
  char* data_ = nullptr;
  std::string_view text_;
  size_t second_from_;
  bool second_read_ = true;
};

// Parses the text into `db` as ParseOwnDatafile does, the lines after the first line end past
// the middle on a second core when `cores` allows, each core reading its part first. False when
// a read failed or the file ended elsewhere than it did when opened: `db` is then as it was
// before and nothing is logged.
bool ParseOwnHalves(HalvesText* text, RomDatabase* db, LoadCores cores);

}  // namespace cartidex

#endif  // CARTIDEX_ROMDB_OWN_HALVES_H_
