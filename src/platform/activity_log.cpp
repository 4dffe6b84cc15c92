#include "platform/activity_log.h"

#include <memory>
#include <string>

#include "platform/env.h"
#include "platform/program_folder.h"

namespace cartidex {

namespace {

// The log stays open between calls (appends go straight to the OS), and is reopened when the
// program's folder or the Env changes.
struct OpenLog {
  std::unique_ptr<WritableFile> file;
  std::string path;
  Env* env = nullptr;
};

OpenLog& Log() {
  static OpenLog log;
  return log;
}

}  // namespace

void WriteLog(std::string_view text) {
  OpenLog& log = Log();
  Env* env = Env::Default();
  std::string path = LogPath();
  if (log.file == nullptr || log.path != path || log.env != env) {
    CloseLog();
    if (!env->OpenForWrite(path, WriteMode::kAppend, &log.file).ok()) {
      log.file.reset();
      return;
    }
    log.path = path;
    log.env = env;
  }
  if (!text.empty() && !log.file->Append(text).ok()) CloseLog();
}

void CloseLog() {
  OpenLog& log = Log();
  if (log.file != nullptr) log.file->Close();
  log.file.reset();
  log.path.clear();
  log.env = nullptr;
}

void DeleteLog() {
  CloseLog();
  Env::Default()->DeleteFile(LogPath());
}

}  // namespace cartidex
