#include "platform/failure_lines.h"

#include <string>

#include "platform/activity_log.h"

namespace cartidex {

namespace {

struct LineShape {
  FailureLine line;
  std::string_view head;
  std::string_view middle;  // empty: the line names one path
};

constexpr LineShape kLines[] = {
    {FailureLine::kCannotRead, "Cannot read: ", ""},
    {FailureLine::kCannotExtract, "Cannot extract: ", ""},
    {FailureLine::kCannotList, "Cannot list: ", ""},
    {FailureLine::kRenameFailed, "Rename failed: ", " To: "},
    {FailureLine::kMoveFailed, " Move failed: ", " To: "},
    {FailureLine::kListNotWritten, "List not written: ", ""},
    {FailureLine::kNotOwnFolder, "Not a folder of its own: ", ""},
    {FailureLine::kTooLarge, "Too large to load: ", ""},
};

std::string FailureLineText(FailureLine line, std::string_view path, std::string_view to) {
  std::string text;
  for (const LineShape& shape : kLines) {
    if (shape.line != line) continue;
    text.reserve(shape.head.size() + path.size() + shape.middle.size() + to.size() + 2);
    text += shape.head;
    text += path;
    if (!shape.middle.empty()) {
      text += shape.middle;
      text += to;
    }
    text += "\r\n";
  }
  return text;
}

// The innermost live watch; one thread runs the program, so one chain serves it.
FailureWatch* g_innermost_watch = nullptr;

}  // namespace

FailureWatch::FailureWatch(bool keep_lines) : outer_(g_innermost_watch), keep_lines_(keep_lines) {
  g_innermost_watch = this;
}

FailureWatch::~FailureWatch() {
  g_innermost_watch = outer_;
}

void LogFailure(FailureLine line, std::string_view path, std::string_view to) {
  const std::string text = FailureLineText(line, path, to);
  WriteLog(text);
  for (FailureWatch* watch = g_innermost_watch; watch != nullptr; watch = watch->outer_) {
    ++watch->count_;
    if (watch->keep_lines_) watch->lines_ += text;
  }
}

}  // namespace cartidex
