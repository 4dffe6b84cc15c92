#include "fuzz_support.h"

#include <stdlib.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <utility>

#include "platform/activity_log.h"
#include "platform/env.h"
#include "platform/program_folder.h"
#include "romdb/rom_database.h"
#include "romdb/set_limits.h"

namespace cartidex::fuzz {
namespace {

// True when `path` lies strictly below `folder` with no ".." part that could climb back out.
bool Inside(const std::string& path, const std::string& folder) {
  return path.size() > folder.size() + 1 && path.starts_with(folder + "/") &&
         (path.substr(folder.size()) + "/").find("/../") == std::string::npos;
}

// Installs itself as the Env and its folder as the program folder. Reads pass through to the real
// Env; every change goes through Writable, which stops the process when it leaves the sandbox or
// the fence.
struct SandboxEnv : Env {
  SandboxEnv() {
    root = (std::filesystem::temp_directory_path() / "cartidex-fuzz-XXXXXX").string();
    if (::mkdtemp(root.data()) == nullptr) Fail("cannot make the sandbox folder");
    Env::SetDefault(this);
    SetProgramFolder(root);
  }
  ~SandboxEnv() override {
    Env::SetDefault(nullptr);
    std::error_code ec;
    std::filesystem::remove_all(root, ec);
  }

  Status OpenForRead(const std::string& p, std::unique_ptr<ReadableFile>* f) override {
    return real->OpenForRead(p, f);
  }
  Status OpenForWrite(const std::string& p, WriteMode mode,
                      std::unique_ptr<WritableFile>* f) override {
    return Writable(p)->OpenForWrite(p, mode, f);
  }
  Status CreateFolder(const std::string& p) override { return Writable(p)->CreateFolder(p); }
  Status DeleteFile(const std::string& p) override { return Writable(p)->DeleteFile(p); }
  FileKind GetKind(const std::string& p) override { return real->GetKind(p); }
  Status ListFolder(const std::string& p, std::string_view pattern,
                    std::vector<DirEntry>* entries) override {
    return real->ListFolder(p, pattern, entries);
  }
  std::string ExecutablePath() override { return root + "/cartidex"; }
  Status SetCurrentDirectory(const std::string& p) override {
    return Writable(p)->SetCurrentDirectory(p);
  }
  std::string GetCurrentDirectory() override { return real->GetCurrentDirectory(); }
  Status MoveFile(const std::string& from, const std::string& to) override {
    Writable(to);
    return Writable(from)->MoveFile(from, to);
  }
  Status GetFileId(const std::string& p, FileId* id) override { return real->GetFileId(p, id); }
  Status GetFileInfo(const std::string& p, bool follow, FileInfo* info) override {
    return real->GetFileInfo(p, follow, info);
  }
  Status GetRealPath(const std::string& p, std::string* r) override {
    return real->GetRealPath(p, r);
  }
  Status LockFolder(const std::string& p, std::unique_ptr<FolderLock>* lock) override {
    return real->LockFolder(p, lock);
  }
  Status SetFileTimesFromDos(const std::string& p, uint32_t dos) override {
    return Writable(p)->SetFileTimesFromDos(p, dos);
  }
  Env* Writable(const std::string& path) const {
    if (path == LogPath()) return real;
    if (!Inside(path, root) || (!fence.empty() && !Inside(path, fence))) {
      Fail("a change outside the sandbox or its fence: " + path);
    }
    return real;
  }

  std::string root, fence;
  Env* real = RealEnv();
};

SandboxEnv& Sandbox() {  // made on first use, removed at exit
  static SandboxEnv sandbox;
  return sandbox;
}

}  // namespace

const std::string& SandboxPath() {
  return Sandbox().root;
}

void SetFence(std::string folder) {
  while (folder.ends_with('/')) folder.pop_back();
  Sandbox().fence = std::move(folder);
}

std::string TakeLog() {
  std::string log;
  CloseLog();
  if (ReadWholeFile(RealEnv(), LogPath(), &log).ok()) DeleteLog();
  return log;
}

void Fail(std::string_view what) {
  std::fprintf(stderr, "fuzz check failed: %.*s\n", static_cast<int>(what.size()), what.data());
  std::abort();
}

void CheckDatabase(const RomDatabase& db) {
  Check(db.GetRomCount() <= kMaxRoms && db.GetSetCount() <= kMaxSets, "over a capacity");
  uint32_t roms_in_sets = 0;
  for (uint32_t s = 0; s < db.GetSetCount(); ++s) {
    const SetRecord set = db.GetSet(s);
    Check(set.rom_count() <= kMaxRomsPerSet && set.archive_name.size() <= kMaxText &&
              set.archive_name.ends_with(".zip"),
          "a set over 128 ROMs or with a bad archive name");
    for (int32_t slot = 0; slot < set.rom_count(); ++slot) {
      const auto r = static_cast<uint32_t>(set.rom_indices[static_cast<size_t>(slot)]);
      Check(r < db.GetRomCount(), "ROM index out of range");
      const RomRecord rom = db.GetRom(r);
      Check(rom.set_index == static_cast<int32_t>(s) && rom.slot == slot &&
                db.RomName(r).size() <= kMaxText && rom.system.size() <= kMaxText,
            "ROM not linked back to its set and slot, or a text over 127 bytes");
    }
    roms_in_sets += static_cast<uint32_t>(set.rom_count());
  }
  // With the links back, every ROM was seen above: none is left without a set.
  Check(roms_in_sets == db.GetRomCount(), "ROMs left without a set");
  if (db.GetRomCount() > 0) {  // a search for the last ROM goes all the way round
    const RomRecord last = db.GetRom(db.GetRomCount() - 1);
    bool found = false;
    uint32_t index = 0;
    const RomRecord hit = db.FindRom(last.crc, last.size, &found, &index);
    Check(found && hit.crc == last.crc && hit.size == last.size, "a loaded ROM is not found");
  }
}

size_t CheckRefusalLog(std::string_view log, bool rising) {
  const std::string_view reasons[] = {kTooManyRoms,  kMissingFields, kTextTooLong,
                                      kRomTableFull, kSetTableFull,  kBadNumber};
  uint64_t previous = 0;
  size_t lines = 0;
  for (; !log.empty(); ++lines) {
    Check(log.starts_with(" ! Line "), "malformed log line");
    uint64_t number = 0;
    const char* end = log.data() + log.size();
    const auto [after, error] = std::from_chars(log.data() + 8, end, number);
    const std::string_view rest(after, static_cast<size_t>(end - after));
    const size_t eol = rest.find("\r\n");
    Check(error == std::errc() && number > 0 && rest.starts_with(" skipped: ") &&
              eol != std::string_view::npos,
          "malformed refusal line");
    Check(std::ranges::find(reasons, rest.substr(10, eol - 10)) != std::end(reasons),
          "unknown refusal reason");
    Check(!rising || number > previous, "line numbers out of order");
    previous = number;
    log = rest.substr(eol + 2);
  }
  return lines;
}

}  // namespace cartidex::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  cartidex::fuzz::Sandbox();  // made and installed before the first input
  cartidex::fuzz::FuzzOne({reinterpret_cast<const char*>(data), size});
  return 0;
}
