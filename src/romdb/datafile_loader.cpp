#include "romdb/datafile_loader.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/activity_log.h"
#include "platform/env.h"
#include "platform/path.h"
#include "platform/program_folder.h"
#include "romdb/dat_file.h"
#include "romdb/dat_format.h"
#include "romdb/own_text_parse.h"
#include "romdb/rom_database.h"
#include "romdb/set_builder.h"

namespace cartidex {

namespace {

// Datafiles from this size on are read in two halves, one on each of two cores.
constexpr size_t kTwoCoreSize = 512 * 1024;

// Where the second half of a datafile begins: the line start after the middle, or npos.
size_t HalfWay(std::string_view contents) {
  const size_t end = contents.find('\n', contents.size() / 2);
  return end == std::string_view::npos || end + 1 >= contents.size() ? std::string_view::npos
                                                                     : end + 1;
}

// True for a name ending in ".cxi", in any letter case, as the listing takes them.
bool IsOwnDatafileName(std::string_view name) {
  if (name.size() < 4) return false;
  std::string_view ext = name.substr(name.size() - 4);
  return ext[0] == '.' && (ext[1] | 0x20) == 'c' && (ext[2] | 0x20) == 'x' &&
         (ext[3] | 0x20) == 'i';
}

// Room for what a text of `bytes` usually holds at most: a ROM takes some 30 to 100 bytes of a
// line, a set some 60 or more. Tables filled from empty would otherwise copy themselves over and
// over while they grow, and a guess too low only leaves the rest to growth.
void ReserveForText(RomDatabase* db, size_t bytes) {
  db->Reserve(std::min<size_t>(kMaxRoms, bytes / 16), std::min<size_t>(kMaxSets, bytes / 32),
              bytes / 2);
}

}  // namespace

void ParseOwnDatafile(std::string_view contents, RomDatabase* db, LoadCores cores) {
  size_t split = std::string_view::npos;
  if (cores == LoadCores::kTwo || (cores == LoadCores::kAsFits && contents.size() >= kTwoCoreSize &&
                                   std::thread::hardware_concurrency() > 1)) {
    split = HalfWay(contents);
  }
  if (split == std::string_view::npos) {
    ParseOwnText(contents, {}, db);
    return;
  }
  // The second half goes into tables of its own on a second core, its refusals noted, the
  // system of its first sets not yet known; the first half into `db` on this one, as it would
  // alone. Joined, the two are what one pass over the whole file gives.
  const std::string_view first = contents.substr(0, split);
  const std::string_view second = contents.substr(split);
  const std::string placeholder(kMaxText + 1, '?');  // longer than any system a datafile gives
  RomDatabase second_db;
  std::vector<OwnRefusal> second_refused;
  // 0 until the second core begins; 1 once it has; 2 when this one took the half back, the
  // second core not having begun by the time the first half was done (its thread, left to end
  // on its own, then touches nothing but this state).
  auto second_state = std::make_shared<std::atomic<int>>(0);
  std::thread other;
  try {
    other = std::thread([&, second_state] {
      int waiting = 0;
      if (!second_state->compare_exchange_strong(waiting, 1)) return;
      ReserveForText(&second_db, second.size());
      ParseOwnText(second, {false, placeholder, 0}, &second_db, &second_refused);
    });
  } catch (const std::system_error&) {
    // One core it is: the second half is read below, after the first.
  }
  ReserveForText(db, first.size());
  const OwnTextEnd first_end = ParseOwnText(first, {}, db);
  int waiting = 0;
  const bool taken_back = cores == LoadCores::kAsFits && other.joinable() &&
                          second_state->compare_exchange_strong(waiting, 2);
  const bool read_apart = other.joinable() && !taken_back;
  if (taken_back) {
    other.detach();
  } else if (other.joinable()) {
    other.join();
  }
  if (first_end.stopped) return;  // a NUL ended the file in its first half
  // The halves join as they are when the whole second half fits; then no set of it could have
  // been refused for room in one pass either. Otherwise it is read again after the first.
  if (!read_apart || db->GetRomCount() + second_db.GetRomCount() > kMaxRoms ||
      db->GetSetCount() + second_db.GetSetCount() > kMaxSets) {
    ParseOwnText(second, {false, first_end.system, first_end.lines}, db);
    return;
  }
  db->AppendTables(second_db, placeholder, first_end.system);
  for (const OwnRefusal& refusal : second_refused) {
    LogSkippedLine(first_end.lines + refusal.line, refusal.reason);
  }
}

void LoadDatafile(const std::string& name) {
  WriteLog(" - " + name + "\r\n");
  std::string path = DatfilesFolder() + name;
  if (!PathFits(path)) {
    WriteLog(" ! Path too long\r\n");
    return;
  }
  FileBytes contents;
  if (!ReadWholeFile(Env::Default(), path, &contents).ok()) return;
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
