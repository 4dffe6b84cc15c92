#include "app/walk_progress.h"

#include "platform/path.h"

namespace cartidex {

namespace {

constexpr auto kInterval = std::chrono::milliseconds(200);
// Narrower than the narrowest usual terminal, so that the line never wraps.
constexpr size_t kWidth = 79;

// `text` cut from the front to at most `width` bytes, "..." marking the cut, never inside a
// UTF-8 sequence.
std::string KeepEnd(std::string_view text, size_t width) {
  if (text.size() <= width) return std::string(text);
  size_t cut = text.size() - (width - 3);
  while (cut < text.size() && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) ++cut;
  return "..." + std::string(text.substr(cut));
}

}  // namespace

std::string WalkSummaryLine(const WalkTally& t) {
  return "Walked " + std::to_string(t.files) + " files: " + std::to_string(t.identified) +
         " identified, " + std::to_string(t.unknown) + " unknown, " + std::to_string(t.errors) +
         " errors; " + std::to_string(t.renamed) + " renamed, " + std::to_string(t.moved) +
         " moved, " + std::to_string(t.failures) + " failures\n";
}

void ProgressLine::Start() {
  files_ = 0;
  last_ = Clock::now();
}

void ProgressLine::FileHandled(const std::string& path) {
  ++files_;
  if (!enabled_) return;
  const Clock::time_point now = Clock::now();
  if (now - last_ < kInterval) return;
  last_ = now;
  std::string line = std::to_string(files_) + " files handled: ";
  line += KeepEnd(FolderOf(path), kWidth - line.size());
  std::string text = "\r" + line;
  if (line.size() < shown_width_) text.append(shown_width_ - line.size(), ' ');
  shown_width_ = line.size();
  out_(text);
}

void ProgressLine::Clear() {
  if (shown_width_ == 0) return;
  out_("\r" + std::string(shown_width_, ' ') + "\r");
  shown_width_ = 0;
}

}  // namespace cartidex
