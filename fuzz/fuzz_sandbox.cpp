#include "fuzz_sandbox.h"

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "platform/env.h"
#include "platform/program_folder.h"

namespace cartidex::fuzz {

namespace {

constexpr size_t kMaxLog = 4u << 20;

struct CapturedLog {
  std::string text;
  bool cut = false;
} captured;

// The log, appended in memory.
class MemoryLogFile : public WritableFile {
 public:
  Status Append(std::string_view data) override {
    captured.cut = captured.cut || captured.text.size() + data.size() > kMaxLog;
    captured.text.append(data.substr(0, kMaxLog - captured.text.size()));
    return Status::Ok();
  }
  Status Close() override { return Status::Ok(); }
};

// True when `path` lies strictly below `folder` with no ".." part that could climb back out.
bool Inside(const std::string& path, const std::string& folder) {
  return path.size() > folder.size() + 1 && path.starts_with(folder + "/") &&
         (path.substr(folder.size()) + "/").find("/../") == std::string::npos;
}

// Reads pass through to the real Env; every change must stay inside the sandbox (and the fence),
// and the log goes to memory.
class SandboxEnv : public Env {
 public:
  explicit SandboxEnv(std::string root) : root_(std::move(root)) {}

  Status OpenForRead(const std::string& path, std::unique_ptr<ReadableFile>* file) override {
    return real_->OpenForRead(path, file);
  }
  Status OpenForWrite(const std::string& path, WriteMode mode,
                      std::unique_ptr<WritableFile>* file) override {
    if (path == LogPath()) {
      *file = std::make_unique<MemoryLogFile>();
      return Status::Ok();
    }
    Guard("write", path);
    return real_->OpenForWrite(path, mode, file);
  }
  Status CreateFolder(const std::string& path) override {
    Guard("create folder", path);
    return real_->CreateFolder(path);
  }
  Status DeleteFile(const std::string& path) override {
    Guard("delete", path);
    return real_->DeleteFile(path);
  }
  FileKind GetKind(const std::string& path) override { return real_->GetKind(path); }
  Status ListFolder(const std::string& folder, std::string_view pattern,
                    std::vector<DirEntry>* entries) override {
    return real_->ListFolder(folder, pattern, entries);
  }
  std::string ExecutablePath() override { return root_ + "/cartidex"; }
  Status SetCurrentDirectory(const std::string& path) override {
    Guard("change directory to", path);
    return real_->SetCurrentDirectory(path);
  }
  std::string GetCurrentDirectory() override { return real_->GetCurrentDirectory(); }
  Status MoveFile(const std::string& from, const std::string& to) override {
    Guard("move", from);
    Guard("move to", to);
    return real_->MoveFile(from, to);
  }
  Status GetFileId(const std::string& path, FileId* id) override {
    return real_->GetFileId(path, id);
  }
  Status GetFileInfo(const std::string& path, bool follow_links, FileInfo* info) override {
    return real_->GetFileInfo(path, follow_links, info);
  }
  Status GetRealPath(const std::string& path, std::string* real) override {
    return real_->GetRealPath(path, real);
  }
  Status LockFolder(const std::string& folder, std::unique_ptr<FolderLock>* lock) override {
    return real_->LockFolder(folder, lock);
  }
  Status SetFileTimesFromDos(const std::string& path, uint32_t dos_date_time) override {
    Guard("set times of", path);
    return real_->SetFileTimesFromDos(path, dos_date_time);
  }
  void SetFence(std::string folder) { fence_ = std::move(folder); }

 private:
  void Guard(const char* what, const std::string& path) const {
    if (!Inside(path, root_))
      Fail(std::string("tried to ") + what + " outside the sandbox: " + path);
    if (!fence_.empty() && !Inside(path, fence_)) {
      Fail(std::string("tried to ") + what + " outside " + fence_ + ": " + path);
    }
  }

  std::string root_;
  std::string fence_;  // empty: no fence
  Env* real_ = RealEnv();
};

struct Sandbox {
  Sandbox() {
    path = (std::filesystem::temp_directory_path() / "cartidex-fuzz-XXXXXX").string();
    if (::mkdtemp(path.data()) == nullptr) Fail("cannot make the sandbox folder");
    env = std::make_unique<SandboxEnv>(path);
  }
  ~Sandbox() {
    Env::SetDefault(nullptr);
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
  std::string path;
  std::unique_ptr<SandboxEnv> env;
};

Sandbox& TheSandbox() {
  static Sandbox sandbox;
  return sandbox;
}

}  // namespace

void EnterSandbox() {
  Sandbox& sandbox = TheSandbox();
  if (Env::Default() != sandbox.env.get()) Env::SetDefault(sandbox.env.get());
  if (ProgramFolder() != sandbox.path) SetProgramFolder(sandbox.path);
}

const std::string& SandboxPath() {
  return TheSandbox().path;
}

WriteFence::WriteFence(std::string folder) {
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  Check(folder == SandboxPath() || Inside(folder, SandboxPath()), "a fence outside the sandbox");
  TheSandbox().env->SetFence(std::move(folder));
}

WriteFence::~WriteFence() {
  TheSandbox().env->SetFence(std::string());
}

std::string TakeLog(bool* cut) {
  if (cut != nullptr) *cut = captured.cut;
  std::string text = std::move(captured.text);
  captured = CapturedLog();
  return text;
}

void Fail(std::string_view what) {
  std::fprintf(stderr, "fuzz check failed: %.*s\n", static_cast<int>(what.size()), what.data());
  std::abort();
}

}  // namespace cartidex::fuzz
