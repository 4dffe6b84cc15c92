// FaultEnv: an Env that forwards to another (the real one by default) and makes chosen calls
// fail, so that tests reach the failures a real disk seldom gives and running as root never does:
// the Nth call of an operation (or of any operation), every call on certain paths, a disk that
// fills up after N bytes, a file whose size changes under the reader. It also records every call,
// so that a test can run a command once, count its steps, and then fail each step in turn.
// ScopedEnv installs an Env as the program's default for one scope.
#ifndef CARTIDEX_TESTS_SUPPORT_FAULT_ENV_H_
#define CARTIDEX_TESTS_SUPPORT_FAULT_ENV_H_

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/activity_log.h"
#include "platform/env.h"

namespace cartidex::test {

// The operations a fault can be set on. kRead is a read of a file opened for reading; kAppend
// and kClose are those of files opened for writing.
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
  kSetFileTimes,
};

// "read", "move", ...: for test messages.
const char* EnvOpName(EnvOp op);

// One call as the FaultEnv saw it. `path` is the source of a move, `other` its target.
struct EnvCall {
  EnvOp op;
  std::string path;
  std::string other;
  bool failed = false;
};

class FaultEnv : public Env {
 public:
  explicit FaultEnv(Env* base = RealEnv()) : base_(base) {}

  // Makes the nth call of `op` from now on (n counts from 1) fail, once. With a needle, only
  // calls on a path containing it are counted.
  void FailNth(EnvOp op, int n, std::string needle = std::string());
  // Makes the nth counted call of any operation from now on fail, once.
  void FailCall(int n);
  // Makes every call of `op` from now on fail.
  void FailAlways(EnvOp op);
  // Makes every call of `op` whose path (either path of a move) contains `needle` fail.
  void FailPathsContaining(EnvOp op, std::string needle);
  // A disk that fills up: files opened for writing (on paths containing `needle`, when given)
  // may take `bytes` together; the append that would pass them writes what fits and fails with
  // kNoSpace, and so does every later one.
  void DiskFullAfter(int64_t bytes, std::string needle = std::string());
  // Files opened for reading report `size` as their size (a file that grew or shrank after its
  // size was taken). With a needle, only those on paths containing it.
  void ReportSize(uint64_t size, std::string needle = std::string());
  // Calls on paths containing `needle` (such as the activity log) are passed on untouched: they
  // are neither counted, recorded nor failed.
  void Ignore(std::string needle);
  // Removes every fault (not the ignored paths, the counts or the record).
  void Clear();

  // The counted calls of `op` made so far, failed ones included.
  int Calls(EnvOp op) const;
  // Every counted call so far, in order.
  const std::vector<EnvCall>& calls() const { return calls_; }
  // The number of calls that were made to fail.
  int failures() const { return failures_; }
  // The status a failed call gives (an I/O error by default).
  void SetFailure(Status status) { failure_ = std::move(status); }
  const Status& failure() const { return failure_; }

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

  // Counts and records a call of `op` on `path` (and `other`) and tells whether it is to fail.
  // Public for the files this Env hands out.
  bool ShouldFail(EnvOp op, const std::string& path, const std::string& other = std::string());
  // How many of `want` bytes an append to `path` may write before the disk is full.
  size_t Room(const std::string& path, size_t want);

 private:
  struct Countdown {
    std::optional<EnvOp> op;  // none: any operation
    std::string needle;
    int remaining;
  };
  struct Always {
    EnvOp op;
    std::string needle;  // empty: every path
  };

  bool Ignored(const std::string& path) const;

  Env* base_;
  // Counting and failing calls: a large datafile is read by two threads at once.
  std::mutex mu_;
  std::vector<Countdown> countdowns_;
  std::vector<Always> always_;
  std::vector<std::string> ignored_;
  std::optional<int64_t> disk_room_;
  std::string disk_needle_;
  std::optional<uint64_t> reported_size_;
  std::string size_needle_;
  std::map<EnvOp, int> counts_;
  std::vector<EnvCall> calls_;
  int failures_ = 0;
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
