// FaultEnv: an Env that forwards to another (the real one by default) and makes chosen calls
// fail, so that tests can reach failures that running as root would never meet. ScopedEnv
// installs an Env as the program's default for one scope.
#ifndef CARTIDEX_TESTS_SUPPORT_FAULT_ENV_H_
#define CARTIDEX_TESTS_SUPPORT_FAULT_ENV_H_

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/activity_log.h"
#include "platform/env.h"

namespace cartidex::test {

// The operations a fault can be set on. kAppend and kClose are those of files opened for writing.
enum class EnvOp {
  kOpenForRead,
  kOpenForWrite,
  kCreateFolder,
  kDeleteFile,
  kGetKind,
  kListFolder,
  kSetCurrentDirectory,
  kMoveFile,
  kGetFileId,
  kSetFileTimes,
  kAppend,
  kClose,
};

class FaultEnv : public Env {
 public:
  explicit FaultEnv(Env* base = RealEnv()) : base_(base) {}

  // Makes the nth call of `op` from now on fail (n counts from 1), once.
  void FailNth(EnvOp op, int n);
  // Makes every call of `op` from now on fail.
  void FailAlways(EnvOp op);
  // Makes every call of `op` whose path (either path of a move) contains `needle` fail.
  void FailPathsContaining(EnvOp op, std::string needle);
  // Removes every fault.
  void Clear();
  // The calls of `op` made so far, failed ones included.
  int Calls(EnvOp op) const;
  // The status a failed call gives (an I/O error by default).
  void SetFailure(Status status) { failure_ = std::move(status); }

  Status OpenForRead(const std::string& path, std::unique_ptr<ReadableFile>* file) override;
  Status OpenForWrite(const std::string& path, WriteMode mode,
                      std::unique_ptr<WritableFile>* file) override;
  Status CreateFolder(const std::string& path) override;
  Status DeleteFile(const std::string& path) override;
  FileKind GetKind(const std::string& path) override;
  Status ListFolder(const std::string& folder, std::string_view pattern,
                    std::vector<DirEntry>* entries) override;
  std::string ExecutablePath() override { return base_->ExecutablePath(); }
  Status SetCurrentDirectory(const std::string& path) override;
  std::string GetCurrentDirectory() override { return base_->GetCurrentDirectory(); }
  Status MoveFile(const std::string& from, const std::string& to) override;
  Status GetFileId(const std::string& path, FileId* id) override;
  Status SetFileTimesFromDos(const std::string& path, uint32_t dos_date_time) override;

  // Counts a call of `op` on `path` (and `other`) and tells whether it is to fail. Public for the
  // files this Env hands out.
  bool ShouldFail(EnvOp op, const std::string& path, const std::string& other = std::string());
  const Status& failure() const { return failure_; }

 private:
  struct Faults {
    int calls = 0;
    std::vector<int> nth;  // absolute call numbers that fail
    bool always = false;
    std::vector<std::string> needles;
  };

  Env* base_;
  std::map<EnvOp, Faults> faults_;
  Status failure_ = Status::IoError("injected failure");
};

// Installs `env` as the default Env until the end of the scope. The activity log keeps its file
// open, so it is closed on entry and on exit: no file opened through one Env outlives it.
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
