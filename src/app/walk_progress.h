// What the headless front-end tells a person watching a walk: a progress line rewritten in place
// while it runs, and the summary line after it.
#ifndef CARTIDEX_APP_WALK_PROGRESS_H_
#define CARTIDEX_APP_WALK_PROGRESS_H_

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "actions/file_outcome.h"

namespace cartidex {

// "Walked N files: I identified, U unknown, E errors; R renamed, M moved, F failures\n".
std::string WalkSummaryLine(const WalkTally& tally);

// The progress line "N files handled: FOLDER", cut to one terminal line, written over itself
// with a carriage return at most five times a second. Only for a terminal: give `enabled` false
// and it writes nothing at all.
class ProgressLine {
 public:
  ProgressLine(bool enabled, std::function<void(std::string_view)> out)
      : enabled_(enabled), out_(std::move(out)) {}

  // A command begins: counting starts again, and the first line waits a while, so that a short
  // command shows none.
  void Start();
  // One more file handled, the one at `path`.
  void FileHandled(const std::string& path);
  // Blanks the line shown, if any, leaving the cursor at its start.
  void Clear();

 private:
  using Clock = std::chrono::steady_clock;
  bool enabled_;
  std::function<void(std::string_view)> out_;
  size_t files_ = 0;
  size_t shown_width_ = 0;
  Clock::time_point last_;
};

}  // namespace cartidex

#endif  // CARTIDEX_APP_WALK_PROGRESS_H_
