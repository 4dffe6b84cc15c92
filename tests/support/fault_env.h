// FaultEnv: the real Env with chosen calls made to fail, to reach the failures a real disk seldom
// gives and running as root never does. It counts the calls, so that a test can run a command
// once, count its steps, then fail each step in turn; the activity log's calls are neither counted
// nor failed. ScopedEnv installs an Env for one scope.
#ifndef CARTIDEX_TESTS_SUPPORT_FAULT_ENV_H_
#define CARTIDEX_TESTS_SUPPORT_FAULT_ENV_H_

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/activity_log.h"
#include "platform/env.h"

namespace cartidex::test {

enum class EnvOp {
  kOpenForRead,
  kRead,
  kOpenForWrite,
  kAppend,
  kClose,
  kCreateFolder,
  kDeleteFile,
  kGetKind,
  kListFolder,
  kSetCurrentDirectory,
  kMoveFile,
  kGetFileId,
  kSetFileTimes
};

class FaultEnv : public Env {
 public:
  // The nth call of `op` from now on (from 1) fails, once; with a needle, only calls on a path
  // (either path of a move) containing it count.
  void FailNth(EnvOp op, int n, std::string needle = {}) {
    faults_.push_back({op, std::move(needle), n});
  }
  // The nth call of any operation from now on fails, once.
  void FailCall(int n) { faults_.push_back({std::nullopt, {}, n}); }
  void FailPathsContaining(EnvOp op, std::string needle) {
    faults_.push_back({op, std::move(needle), kEveryCall});
  }
  void ReportSize(uint64_t size) { reported_size_ = size; }
  void Clear() {
    faults_.clear();
    reported_size_.reset();
  }
  int calls() const { return calls_; }

  Status OpenForRead(const std::string& path, std::unique_ptr<ReadableFile>* file) override;
  Status OpenForWrite(const std::string& path, WriteMode mode,
                      std::unique_ptr<WritableFile>* file) override;
  Status CreateFolder(const std::string& path) override {
    return Fails(EnvOp::kCreateFolder, path) ? Failure() : base_->CreateFolder(path);
  }
  Status DeleteFile(const std::string& path) override {
    return Fails(EnvOp::kDeleteFile, path) ? Failure() : base_->DeleteFile(path);
  }
  // What cannot be examined reads as missing, as in the real Env.
  FileKind GetKind(const std::string& path) override {
    return Fails(EnvOp::kGetKind, path) ? FileKind::kMissing : base_->GetKind(path);
  }
  Status ListFolder(const std::string& folder, std::string_view pattern,
                    std::vector<DirEntry>* entries) override {
    entries->clear();
    return Fails(EnvOp::kListFolder, folder) ? Failure()
                                             : base_->ListFolder(folder, pattern, entries);
  }
  Status SetCurrentDirectory(const std::string& path) override {
    return Fails(EnvOp::kSetCurrentDirectory, path) ? Failure() : base_->SetCurrentDirectory(path);
  }
  Status MoveFile(const std::string& from, const std::string& to) override {
    return Fails(EnvOp::kMoveFile, from, to) ? Failure() : base_->MoveFile(from, to);
  }
  Status GetFileId(const std::string& path, FileId* id) override {
    return Fails(EnvOp::kGetFileId, path) ? Failure() : base_->GetFileId(path, id);
  }
  Status SetFileTimesFromDos(const std::string& path, uint32_t dos_date_time) override {
    return Fails(EnvOp::kSetFileTimes, path) ? Failure()
                                             : base_->SetFileTimesFromDos(path, dos_date_time);
  }
  std::string ExecutablePath() override { return base_->ExecutablePath(); }
  std::string GetCurrentDirectory() override { return base_->GetCurrentDirectory(); }
  Status GetFileInfo(const std::string& path, bool follow_links, FileInfo* info) override {
    return base_->GetFileInfo(path, follow_links, info);
  }
  Status GetRealPath(const std::string& path, std::string* real) override {
    return base_->GetRealPath(path, real);
  }
  Status LockFolder(const std::string& folder, std::unique_ptr<FolderLock>* lock) override {
    return base_->LockFolder(folder, lock);
  }

  // Counts a call and tells whether it is to fail; for the files handed out too.
  bool Fails(EnvOp op, const std::string& path, const std::string& other = {});
  static Status Failure() { return Status::IoError("injected failure"); }

 private:
  static constexpr int kEveryCall = -1;
  struct Fault {
    std::optional<EnvOp> op;  // none: any operation
    std::string needle;       // empty: every path
    int remaining;            // counted calls until it fails; 0 once spent, or kEveryCall
  };

  Env* base_ = RealEnv();
  std::vector<Fault> faults_;
  std::optional<uint64_t> reported_size_;
  int calls_ = 0;
};

// Installs `env` as the default Env. The activity log keeps its file open, so it is closed on
// entry and on exit: no file opened through one Env outlives it.
class ScopedEnv {
 public:
  explicit ScopedEnv(Env* env) {
    CloseLog();
    Env::SetDefault(env);
  }
  ~ScopedEnv() {
    CloseLog();
    Env::SetDefault(nullptr);
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;
};

}  // namespace cartidex::test

#endif  // CARTIDEX_TESTS_SUPPORT_FAULT_ENV_H_
