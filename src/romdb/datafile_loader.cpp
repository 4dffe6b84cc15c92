#include "romdb/datafile_loader.h"

#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "platform/activity_log.h"
#include "platform/env.h"
#include "platform/failure_lines.h"
#include "platform/path.h"
#include "platform/program_folder.h"
#include "romdb/dat_file.h"
#include "romdb/rom_database.h"

namespace cartidex {

namespace {

// True for a name ending in ".cxi", in any letter case, as the listing takes them.
bool IsOwnDatafileName(std::string_view name) {
  return name.size() >= 4 && EqualIgnoringAsciiCase(name.substr(name.size() - 4), ".cxi");
}

void AddContents(const std::string& name, const FileBytes& contents) {
  if (IsOwnDatafileName(name)) {
    ParseOwnDatafile(contents.text(), &Database());
    return;
  }
  DatFile dat;
  if (!ReadDat(contents.bytes(), &dat)) {
    WriteLog(" ! Not a datafile\r\n");
    return;
  }
  AddDatFile(dat, &Database());
}

// Reads one datafile whole and adds what it holds. False when memory cannot hold it; what it
// added before memory ran out stays.
bool ReadAndAdd(const std::string& name, const std::string& path) try {
  FileBytes contents;
  if (!ReadWholeFile(Env::Default(), path, &contents).ok()) {
    LogFailure(FailureLine::kCannotRead, path);
    return true;
  }
  AddContents(name, contents);
  return true;
} catch (const std::bad_alloc&) {
  return false;
}

}  // namespace

void LoadDatafile(const std::string& name) {
  WriteLog(" - " + name + "\r\n");
  const std::string path = DatfilesFolder() + name;
  if (!PathFits(path)) {
    WriteLog(" ! Path too long\r\n");
    return;
  }
  FileInfo info;
  if (!Env::Default()->GetFileInfo(path, /*follow_links=*/true, &info).ok() ||
      info.type != EntryType::kFile) {
    LogFailure(FailureLine::kCannotRead, path);
    return;
  }
  // The whole file is read into memory: a bound far above any real datafile keeps a huge or
  // sparse file from taking all of it.
  if (info.size > kMaxDatafileSize || !ReadAndAdd(name, path)) {
    LogFailure(FailureLine::kTooLarge, path);
  }
}

void LoadDatafiles() {
  Database().Clear();
  Env* env = Env::Default();
  const std::string folder = DatfilesFolder();
  env->CreateFolder(folder);
  WriteLog("Loading datafiles :\r\n");
  // The own files first, so that their entries keep the places they had before DATs were read.
  for (const char* pattern : {"*.cxi", "*.dat", "*.xml"}) {
    std::vector<DirEntry> entries;
    env->ListFolder(folder, pattern, &entries);
    for (const DirEntry& entry : entries) {
      if (entry.name[0] == '.') continue;
      LoadDatafile(entry.name);
    }
  }
}

}  // namespace cartidex
