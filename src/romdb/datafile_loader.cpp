#include "romdb/datafile_loader.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <span>
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

// What the two threads of a load in halves share. The second thread is left to end on its own
// when the first takes its half back, so this lives as long as either holds it.
struct SecondHalf {
  // kBegun once the second thread begins; kTakenBack when the first took the half back, the
  // second not having begun by the time the first half was done.
  enum Stage { kNotBegun, kBegun, kTakenBack };
  std::atomic<int> stage{kNotBegun};
  std::mutex mu;
  std::condition_variable cv;
  bool parsed = false;      // the second half is in the second thread's tables
  bool decided = false;     // the first thread has said whether the halves join
  bool join = false;        // they do: the second thread appends its tables to the first's
  std::string_view system;  // the system in force where the first half ends
};

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
  RomDatabase::IndexBuild index;
  auto shared = std::make_shared<SecondHalf>();
  std::thread other;
  try {
    other = std::thread([&, shared] {
      int waiting = SecondHalf::kNotBegun;
      if (!shared->stage.compare_exchange_strong(waiting, SecondHalf::kBegun)) return;
      ReserveForText(&second_db, second.size());
      ParseOwnText(second, {false, placeholder, 0}, &second_db, &second_refused);
      std::unique_lock<std::mutex> lock(shared->mu);
      shared->parsed = true;
      shared->cv.notify_all();
      shared->cv.wait(lock, [&] { return shared->decided; });
      if (!shared->join) return;
      const std::string_view system = shared->system;
      lock.unlock();
      db->AppendTables(second_db, placeholder, system);
    });
  } catch (const std::system_error&) {
    // One core it is: the second half is read below, after the first.
  }
  ReserveForText(db, first.size());
  const OwnTextEnd first_end = ParseOwnText(first, {}, db);
  int waiting = SecondHalf::kNotBegun;
  const bool taken_back = cores == LoadCores::kAsFits && other.joinable() &&
                          shared->stage.compare_exchange_strong(waiting, SecondHalf::kTakenBack);
  const bool read_apart = other.joinable() && !taken_back;
  if (taken_back) other.detach();
  // The halves join as they are when the whole second half fits; then no set of it could have
  // been refused for room in one pass either. Otherwise it is read again after the first.
  bool join = false;
  std::span<const uint32_t> first_crcs;
  if (read_apart) {
    std::unique_lock<std::mutex> lock(shared->mu);
    shared->cv.wait(lock, [&] { return shared->parsed; });
    join = !first_end.stopped && db->GetRomCount() + second_db.GetRomCount() <= kMaxRoms &&
           db->GetSetCount() + second_db.GetSetCount() <= kMaxSets;
    if (join) {
      // The second core appends its own tables, which its cache holds, and this one builds the
      // lookup index meanwhile, reading the first half's CRC-32s while the second core appends
      // after them: the room comes first, so they stay where they are. Appended here instead,
      // every table of the second half would cross between the cores, which costs more than
      // the parse of a half when the two are far apart.
      db->Reserve(second_db.GetRomCount(), second_db.GetSetCount(), 0);
      first_crcs = db->Crcs();
      shared->join = true;
      shared->system = first_end.system;
    }
    shared->decided = true;
    shared->cv.notify_all();
  }
  if (join) {
    RomDatabase::BuildIndexOf(first_crcs, second_db.Crcs(), &index);
    for (const OwnRefusal& refusal : second_refused) {
      LogSkippedLine(first_end.lines + refusal.line, refusal.reason);
    }
  }
  if (read_apart) other.join();
  if (join) {
    db->AdoptIndex(std::move(index));
    return;
  }
  if (first_end.stopped) return;  // a NUL ended the file in its first half
  ParseOwnText(second, {false, first_end.system, first_end.lines}, db);
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
