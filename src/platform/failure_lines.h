// The log lines that say what failed. Every one of them is written from this one table, so that
// a failure reads the same whichever part of the program met it, and never like a success.
#ifndef CARTIDEX_PLATFORM_FAILURE_LINES_H_
#define CARTIDEX_PLATFORM_FAILURE_LINES_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace cartidex {

enum class FailureLine {
  kCannotRead,      // "Cannot read: PATH": a file that cannot be opened or read whole
  kCannotExtract,   // "Cannot extract: PATH": an archive whose members could not all be extracted
  kCannotList,      // "Cannot list: FOLDER": a folder a walk cannot list
  kRenameFailed,    // "Rename failed: OLD To: NEW": the file keeps its name
  kMoveFailed,      // " Move failed: OLD To: NEW": the file stays where it is
  kListNotWritten,  // "List not written: PATH": a have or missing list that is not on disk
  kNotOwnFolder,    // "Not a folder of its own: PATH": a scratch folder that is a link or no
                    // folder, left alone (nothing emptied, extracted into or deleted there)
  kTooLarge,        // "Too large to load: PATH": a datafile over the size bound, or one that
                    // memory cannot hold
};

// Appends the whole line, "\r\n" included, to the activity log in one piece. `to` is used by the
// two lines that name a target only.
void LogFailure(FailureLine line, std::string_view path, std::string_view to = std::string_view());

// While it lives, every failure line logged is also counted and kept here, so that a piece of
// work can say what failed in it without reading the log back. Watches nest: each one sees the
// lines logged while it lives, those of inner watches included. Not copyable.
class FailureWatch {
 public:
  // `keep_lines` false: the lines are counted only (a walk of many files needs no more).
  explicit FailureWatch(bool keep_lines = true);
  ~FailureWatch();
  FailureWatch(const FailureWatch&) = delete;
  FailureWatch& operator=(const FailureWatch&) = delete;

  uint32_t count() const { return count_; }
  // The lines seen, each with its "\r\n" (none when not kept).
  const std::string& lines() const { return lines_; }

 private:
  friend void LogFailure(FailureLine, std::string_view, std::string_view);
  FailureWatch* outer_;
  bool keep_lines_;
  uint32_t count_ = 0;
  std::string lines_;
};

}  // namespace cartidex

#endif  // CARTIDEX_PLATFORM_FAILURE_LINES_H_
