#include "romdb/own_halves.h"

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

#include "romdb/own_text_parse.h"
#include "romdb/rom_database.h"
#include "romdb/set_builder.h"

namespace cartidex {

namespace {

// How far past the middle the first part of a file reaches: more than the lines of any real
// datafile, so that the line end the halves are cut after is in it.
constexpr size_t kFirstPartOverlap = 64 * 1024;

constexpr size_t kSplitUnknown = SIZE_MAX;
constexpr size_t kNoSplit = SIZE_MAX - 1;

// Where the second half begins: the line start after the middle, found in [0, limit); or
// kNoSplit.
size_t FindSplit(std::string_view text, size_t limit) {
  const size_t end = text.substr(0, limit).find('\n', text.size() / 2);
  return end == std::string_view::npos || end + 1 >= text.size() ? kNoSplit : end + 1;
}

// Room for what a text of `bytes` usually holds at most: a ROM takes some 30 to 100 bytes of a
// line, a set some 60 or more. Tables filled from empty would otherwise copy themselves over and
// over while they grow, and a guess too low only leaves the rest to growth.
void ReserveForText(RomDatabase* db, size_t bytes) {
  db->Reserve(std::min<size_t>(kMaxRoms, bytes / 16), std::min<size_t>(kMaxSets, bytes / 32),
              bytes / 2);
}

void LogRefusals(std::span<const OwnRefusal> refused, uint64_t lines_before) {
  for (const OwnRefusal& refusal : refused) {
    LogSkippedLine(lines_before + refusal.line, refusal.reason);
  }
}

// What the two threads of a load in halves share. The second thread is left to end on its own
// when the first takes its half back, so this lives as long as either holds it.
struct SecondHalf {
  // kBegun once the second thread begins; kTakenBack when the first took the half back, the
  // second not having begun by the time the first half was done.
  enum Stage { kNotBegun, kBegun, kTakenBack };
  std::atomic<int> stage{kNotBegun};
  // Where the second half begins, once the first thread has read its part; kNoSplit when it
  // has none or could not read it.
  std::atomic<size_t> split{kSplitUnknown};
  std::mutex mu;
  std::condition_variable cv;

  void PublishSplit(size_t at) {
    {
      const std::lock_guard<std::mutex> lock(mu);
      split.store(at);
    }
    cv.notify_all();
  }
  size_t AwaitSplit() {
    std::unique_lock<std::mutex> lock(mu);
    cv.wait(lock, [&] { return split.load() != kSplitUnknown; });
    return split.load();
  }

  bool done = false;        // the second thread has read its part and parsed its half (if any)
  bool read = false;        // the read gave the file as it was when opened
  bool decided = false;     // the first thread has said whether the halves join
  bool join = false;        // they do: the second thread appends its tables to the first's
  std::string_view system;  // the system in force where the first half ends
};

}  // namespace

HalvesText::HalvesText(ReadableFile* file, FileBytes* buffer) : file_(file) {
  const size_t size = static_cast<size_t>(file->Size());
  // One byte more, to find the end of the file where it was.
  buffer->data.reset(new char[size + 1]);
  buffer->size = size;
  data_ = buffer->data.get();
  text_ = buffer->text();
  second_from_ = std::min(size, size / 2 + kFirstPartOverlap);
}

bool HalvesText::ReadRange(size_t from, size_t to, bool at_end) {
  if (file_ == nullptr) return true;
  size_t at = from;
  const size_t want = at_end ? to + 1 : to;
  while (at < want) {
    size_t got = 0;
    if (!file_->Read(data_ + at, want - at, &got).ok()) return false;
    if (got == 0) break;
    at += got;
  }
  return at == to;
}

bool HalvesText::ReadFirst() {
  const bool first = ReadRange(0, second_from_, second_from_ == text_.size());
  second_read_ =
      first && (second_from_ == text_.size() || ReadRange(second_from_, text_.size(), true));
  return first;
}

bool HalvesText::ReadSecond() {
  return second_read_;
}

bool ParseOwnHalves(HalvesText* source, RomDatabase* db, LoadCores cores) {
  const std::string_view text = source->text();
  // The second half goes into tables of its own on a second core, its refusals noted, the
  // system of its first sets not yet known; the first half into `db` on this one, as it would
  // alone. Joined, the two are what one pass over the whole file gives.
  const std::string placeholder(kMaxText + 1, '?');  // longer than any system a datafile gives
  RomDatabase second_db;
  std::vector<OwnRefusal> second_refused;
  auto shared = std::make_shared<SecondHalf>();
  std::thread other;
  try {
    other = std::thread([&, shared] {
      int waiting = SecondHalf::kNotBegun;
      if (!shared->stage.compare_exchange_strong(waiting, SecondHalf::kBegun)) return;
      const size_t split = shared->AwaitSplit();
      const bool read = source->ReadSecond();
      if (read && split != kNoSplit) {
        ReserveForText(&second_db, text.size() - split);
        ParseOwnText(text.substr(split), {false, placeholder, 0}, &second_db, &second_refused);
      }
      std::unique_lock<std::mutex> lock(shared->mu);
      shared->read = read;
      shared->done = true;
      shared->cv.notify_all();
      shared->cv.wait(lock, [&] { return shared->decided; });
      if (!shared->join) return;
      const std::string_view system = shared->system;
      lock.unlock();
      db->AppendTables(second_db, placeholder, system);
    });
  } catch (const std::system_error&) {
    // One core it is: the second part is read below, after the first.
  }

  const bool first_read = source->ReadFirst();
  const size_t split = first_read ? FindSplit(text, source->second_from()) : kNoSplit;
  shared->PublishSplit(split);

  // Refusals are logged once both reads are known to be sound.
  const RomDatabase::Extent before = db->GetExtent();
  std::vector<OwnRefusal> refused;
  OwnTextEnd first_end;
  size_t parsed_to = 0;
  if (split != kNoSplit) {
    ReserveForText(db, split);
    first_end = ParseOwnText(text.substr(0, split), {}, db, &refused);
    parsed_to = split;
  }

  int waiting = SecondHalf::kNotBegun;
  const bool taken_back =
      !other.joinable() || (cores == LoadCores::kAsFits &&
                            shared->stage.compare_exchange_strong(waiting, SecondHalf::kTakenBack));
  bool second_read = false;
  bool join = false;
  std::span<const uint32_t> first_crcs;
  if (taken_back) {
    if (other.joinable()) other.detach();
    second_read = first_read && source->ReadSecond();
  } else {
    std::unique_lock<std::mutex> lock(shared->mu);
    shared->cv.wait(lock, [&] { return shared->done; });
    second_read = shared->read;
    // The halves join as they are when the whole second half fits; then no set of it could
    // have been refused for room in one pass either. Otherwise it is read again after the first.
    join = first_read && second_read && parsed_to != 0 && !first_end.stopped &&
           db->GetRomCount() + second_db.GetRomCount() <= kMaxRoms &&
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
  RomDatabase::IndexBuild index;
  if (join) RomDatabase::BuildIndexOf(first_crcs, second_db.Crcs(), &index);
  if (!taken_back) other.join();

  if (!first_read || !second_read) {
    db->Rewind(before);
    return false;
  }
  if (join) {
    LogRefusals(refused, 0);
    LogRefusals(second_refused, first_end.lines);
    db->AdoptIndex(std::move(index));
    return true;
  }
  if (!first_end.stopped) {  // else a NUL ended the file in its first half
    ParseOwnText(text.substr(parsed_to), {parsed_to == 0, first_end.system, first_end.lines}, db,
                 &refused);
  }
  LogRefusals(refused, 0);
  return true;
}

}  // namespace cartidex
