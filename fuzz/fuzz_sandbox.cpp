#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <utility>

#include "fuzz_support.h"
#include "platform/env.h"
#include "platform/program_folder.h"

namespace cartidex::fuzz {
namespace {

std::string captured_log;

class MemoryLogFile : public WritableFile {
 public:
  Status Append(std::string_view data) override {
    captured_log += data;
    return Status::Ok();
  }
  Status Close() override { return Status::Ok(); }
};

// True when `path` lies strictly below `folder` with no ".." part that could climb back out.
bool Inside(const std::string& path, const std::string& folder) {
  return path.size() > folder.size() + 1 && path.starts_with(folder + "/") &&
         (path.substr(folder.size()) + "/").find("/../") == std::string::npos;
}

// Makes the sandbox folder and removes it at exit. Reads pass through to the real Env; every
// change goes through Writable, which stops the process when it leaves the sandbox or the fence.
class SandboxEnv : public Env {
 public:
  SandboxEnv() {
    root_ = (std::filesystem::temp_directory_path() / "cartidex-fuzz-XXXXXX").string();
    if (::mkdtemp(root_.data()) == nullptr) Fail("cannot make the sandbox folder");
  }
  ~SandboxEnv() override {
    Env::SetDefault(nullptr);
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }
  const std::string& root() const { return root_; }
  void SetFence(std::string folder) { fence_ = std::move(folder); }

  Status OpenForRead(const std::string& p, std::unique_ptr<ReadableFile>* f) override {
    return real_->OpenForRead(p, f);
  }
  Status OpenForWrite(const std::string& p, WriteMode mode,
                      std::unique_ptr<WritableFile>* f) override {
    if (p != LogPath()) return Writable(p)->OpenForWrite(p, mode, f);
    *f = std::make_unique<MemoryLogFile>();
    return Status::Ok();
  }
  Status CreateFolder(const std::string& p) override { return Writable(p)->CreateFolder(p); }
  Status DeleteFile(const std::string& p) override { return Writable(p)->DeleteFile(p); }
  FileKind GetKind(const std::string& p) override { return real_->GetKind(p); }
  Status ListFolder(const std::string& p, std::string_view pattern,
                    std::vector<DirEntry>* entries) override {
    return real_->ListFolder(p, pattern, entries);
  }
  std::string ExecutablePath() override { return root_ + "/cartidex"; }
  Status SetCurrentDirectory(const std::string& p) override {
    return Writable(p)->SetCurrentDirectory(p);
  }
  std::string GetCurrentDirectory() override { return real_->GetCurrentDirectory(); }
  Status MoveFile(const std::string& from, const std::string& to) override {
    Writable(to);
    return Writable(from)->MoveFile(from, to);
  }
  Status GetFileId(const std::string& p, FileId* id) override { return real_->GetFileId(p, id); }
  Status GetFileInfo(const std::string& p, bool follow, FileInfo* info) override {
    return real_->GetFileInfo(p, follow, info);
  }
  Status GetRealPath(const std::string& p, std::string* r) override {
    return real_->GetRealPath(p, r);
  }
  Status LockFolder(const std::string& p, std::unique_ptr<FolderLock>* lock) override {
    return real_->LockFolder(p, lock);
  }
  Status SetFileTimesFromDos(const std::string& p, uint32_t dos) override {
    return Writable(p)->SetFileTimesFromDos(p, dos);
  }

 private:
  Env* Writable(const std::string& path) const {
    if (!Inside(path, root_) || (!fence_.empty() && !Inside(path, fence_))) {
      Fail("a change outside the sandbox or its fence: " + path);
    }
    return real_;
  }

  std::string root_;
  std::string fence_;
  Env* real_ = RealEnv();
};

SandboxEnv& TheSandbox() {
  static SandboxEnv sandbox;
  return sandbox;
}

}  // namespace

void EnterSandbox() {
  Env::SetDefault(&TheSandbox());
  if (ProgramFolder() != TheSandbox().root()) SetProgramFolder(TheSandbox().root());
}

const std::string& SandboxPath() {
  return TheSandbox().root();
}

void SetFence(std::string folder) {
  while (folder.ends_with('/')) folder.pop_back();
  TheSandbox().SetFence(std::move(folder));
}

std::string TakeLog() {
  return std::exchange(captured_log, std::string());
}

void Fail(std::string_view what) {
  std::fprintf(stderr, "fuzz check failed: %.*s\n", static_cast<int>(what.size()), what.data());
  std::abort();
}

}  // namespace cartidex::fuzz
