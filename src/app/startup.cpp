#include "app/startup.h"

#include <vector>

#include "identify/session_state.h"
#include "platform/activity_log.h"
#include "platform/env.h"
#include "platform/failure_lines.h"
#include "platform/program_folder.h"
#include "romdb/datafile_loader.h"

namespace cartidex {

namespace {

// Deletes the files of `tmp` that an earlier run left; sub-folders and names beginning with '.'
// stay, and a missing folder is nothing to empty. A `tmp` that is not a folder of its own is
// left alone, and the log says so.
void EmptyTmpFolder(Env* env) {
  const std::string tmp = TmpFolder();
  if (!ScratchFolderIsOwn()) {
    LogFailure(FailureLine::kNotOwnFolder, tmp);
    return;
  }
  std::vector<DirEntry> entries;
  if (env->ListFolder(tmp, "*.*", &entries).ok()) {
    for (const DirEntry& entry : entries) {
      if (entry.name[0] == '.' || entry.is_folder) continue;
      env->DeleteFile(tmp + entry.name);
    }
  }
  WriteLog("Directory \"tmp\" emptied\r\n");
}

}  // namespace

bool ClaimProgramFolder(const std::string& home, std::unique_ptr<FolderLock>* lock) {
  SetProgramFolder(home);
  const Status s = Env::Default()->LockFolder(ProgramFolder(), lock);
  // A folder whose file system keeps no locks (or that cannot be opened) is used as before.
  return s.code() != Status::Code::kBusy;
}

void Startup(const std::string& home) {
  SetProgramFolder(home);
  Env* env = Env::Default();
  DeleteLog();
  WriteLog("Cartidex starting\r\n");
  ResetSession();
  WriteLog("Cartidex intialised\r\n");
  WriteLog("Redirection installed\r\n");
  env->SetCurrentDirectory(ProgramFolder());
  EmptyTmpFolder(env);
  LoadDatafiles();
  WriteLog("Datafiles loaded\r\nShowing dialogbox\r\n\r\n");
}

void Shutdown(const std::string& keep_log_copy) {
  WriteLog("Cartidex quitted");
  CloseLog();
  if (!keep_log_copy.empty()) {
    Env* env = Env::Default();
    std::string log;
    if (ReadWholeFile(env, LogPath(), &log).ok()) WriteWholeFile(env, keep_log_copy, log);
  }
  DeleteLog();
}

}  // namespace cartidex
