#include "romdb/datafile_loader.h"

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/activity_log.h"
#include "platform/env.h"
#include "platform/path.h"
#include "platform/program_folder.h"
#include "romdb/dat_file.h"
#include "romdb/dat_format.h"
#include "romdb/own_halves.h"
#include "romdb/own_text_parse.h"
#include "romdb/rom_database.h"
#include "romdb/set_builder.h"

namespace cartidex {

namespace {

// Datafiles from this size on are read in two halves, one on each of two cores.
constexpr size_t kTwoCoreSize = 512 * 1024;

// True for a name ending in ".cxi", in any letter case, as the listing takes them.
bool IsOwnDatafileName(std::string_view name) {
  if (name.size() < 4) return false;
  std::string_view ext = name.substr(name.size() - 4);
  return ext[0] == '.' && (ext[1] | 0x20) == 'c' && (ext[2] | 0x20) == 'x' &&
         (ext[3] | 0x20) == 'i';
}

// Larger files, far larger than any real datafile, are read the plain way, which takes any size.
constexpr uint64_t kHalvesUpTo = uint64_t{1} << 30;

bool TwoCoresFor(size_t size, LoadCores cores) {
  return cores == LoadCores::kTwo || (cores == LoadCores::kAsFits && size >= kTwoCoreSize &&
                                      std::thread::hardware_concurrency() > 1);
}

// Loads an own datafile into Database(); a large one is read and parsed in halves by two cores.
void LoadOwnDatafile(const std::string& path) {
  std::unique_ptr<ReadableFile> file;
  if (!Env::Default()->OpenForRead(path, &file).ok()) return;
  if (file->Size() <= kHalvesUpTo &&
      TwoCoresFor(static_cast<size_t>(file->Size()), LoadCores::kAsFits)) {
    FileBytes buffer;
    HalvesText text(file.get(), &buffer);
    if (ParseOwnHalves(&text, &Database(), LoadCores::kAsFits)) return;
    // The file changed while it was read, or a read failed: it is read again the plain way,
    // which gives what it holds now, or nothing when it cannot be read.
    if (!Env::Default()->OpenForRead(path, &file).ok()) return;
  }
  FileBytes contents;
  if (!ReadOpenFile(file.get(), &contents).ok()) return;
  ParseOwnDatafile(contents.text(), &Database());
}

}  // namespace

void ParseOwnDatafile(std::string_view contents, RomDatabase* db, LoadCores cores) {
  if (!TwoCoresFor(contents.size(), cores)) {
    ParseOwnText(contents, {}, db);
    return;
  }
  HalvesText text(contents);
  ParseOwnHalves(&text, db, cores);
}

void LoadDatafile(const std::string& name) {
  WriteLog(" - " + name + "\r\n");
  std::string path = DatfilesFolder() + name;
  if (!PathFits(path)) {
    WriteLog(" ! Path too long\r\n");
    return;
  }
  if (IsOwnDatafileName(name)) {
    LoadOwnDatafile(path);
    return;
  }
  FileBytes contents;
  if (!ReadWholeFile(Env::Default(), path, &contents).ok()) return;
  DatFile dat;
  if (!ReadDat(contents.bytes(), &dat)) {
    WriteLog(" ! Not a datafile\r\n");
    return;
  }
  AddDatFile(dat, &Database());
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
