#include "platform/program_folder.h"

#include "platform/env.h"
#include "platform/path.h"

namespace cartidex {

namespace {

std::string& Folder() {
  static std::string folder;
  return folder;
}

std::string ExecutableFolder() {
  std::string exe = Env::Default()->ExecutablePath();
  std::string folder(FolderOf(exe));
  if (folder.size() > 1) folder.pop_back();
  return folder;
}

}  // namespace

const std::string& ProgramFolder() {
  if (Folder().empty()) Folder() = ExecutableFolder();
  return Folder();
}

void SetProgramFolder(const std::string& folder) {
  std::string f = folder;
  while (f.size() > 1 && IsSeparator(f.back())) f.pop_back();
  Folder() = f;
}

std::string DatfilesFolder() {
  std::string f = JoinPath(ProgramFolder(), "datfiles");
  f.push_back(kSeparator);
  return f;
}

std::string TmpFolder() {
  std::string f = JoinPath(ProgramFolder(), "tmp");
  f.push_back(kSeparator);
  return f;
}

std::string LogPath() {
  return JoinPath(ProgramFolder(), "log.txt");
}

bool ScratchFolderIsOwn() {
  // The folder itself: with a trailing separator a link would be followed.
  const std::string tmp = JoinPath(ProgramFolder(), "tmp");
  FileInfo info;
  const Status s = Env::Default()->GetFileInfo(tmp, /*follow_links=*/false, &info);
  if (!s.ok()) return s.code() == Status::Code::kNotFound;
  return info.type == EntryType::kFolder;
}

}  // namespace cartidex
