// An Env over the real one that fails chosen operations, for the failures a test cannot cause
// on a real disk as root: unreadable files, huge sizes, a full disk, a folder that cannot be made.
// It installs itself as the default while it lives.
#ifndef CARTIDEX_TESTS_SUPPORT_FAILING_ENV_H_
#define CARTIDEX_TESTS_SUPPORT_FAILING_ENV_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/env.h"

namespace cartidex::test {

class FailingEnv : public Env {
 public:
  FailingEnv() : real_(RealEnv()) { Env::SetDefault(this); }
  ~FailingEnv() override { Env::SetDefault(nullptr); }

  // Opening for reading fails for paths containing this text (none when empty).
  std::string refuse_open;
  // Reads of paths containing this text fail after the first chunk (none when empty).
  std::string fail_reads;
  // When not 0, files opened for reading report this size.
  uint64_t reported_size = 0;
  // Bytes that all written files together may take before the disk is "full"; -1: no limit.
  int64_t write_budget = -1;
  // When not empty, only paths containing this text count against (and fail with) the budget.
  std::string budget_paths;
  // Folders containing this text cannot be created (none when empty).
  std::string refuse_folder;

  Status OpenForRead(const std::string& path, std::unique_ptr<ReadableFile>* file) override {
    if (Matches(refuse_open, path)) return Status::IoError(path + ": refused");
    std::unique_ptr<ReadableFile> inner;
    Status s = real_->OpenForRead(path, &inner);
    if (!s.ok()) return s;
    *file = std::make_unique<Readable>(std::move(inner), reported_size, Matches(fail_reads, path));
    return Status::Ok();
  }
  Status OpenForWrite(const std::string& path, WriteMode mode,
                      std::unique_ptr<WritableFile>* file) override {
    std::unique_ptr<WritableFile> inner;
    Status s = real_->OpenForWrite(path, mode, &inner);
    if (!s.ok()) return s;
    const bool limited = budget_paths.empty() || Matches(budget_paths, path);
    *file = std::make_unique<Writable>(std::move(inner), limited ? &write_budget : &unlimited_);
    return Status::Ok();
  }
  Status CreateFolder(const std::string& path) override {
    if (Matches(refuse_folder, path)) return Status::IoError(path + ": refused");
    return real_->CreateFolder(path);
  }
  Status DeleteFile(const std::string& path) override { return real_->DeleteFile(path); }
  FileKind GetKind(const std::string& path) override { return real_->GetKind(path); }
  Status ListFolder(const std::string& folder, std::string_view pattern,
                    std::vector<DirEntry>* entries) override {
    return real_->ListFolder(folder, pattern, entries);
  }
  std::string ExecutablePath() override { return real_->ExecutablePath(); }
  Status SetCurrentDirectory(const std::string& path) override {
    return real_->SetCurrentDirectory(path);
  }
  std::string GetCurrentDirectory() override { return real_->GetCurrentDirectory(); }
  Status MoveFile(const std::string& from, const std::string& to) override {
    return real_->MoveFile(from, to);
  }
  Status GetFileId(const std::string& path, FileId* id) override {
    return real_->GetFileId(path, id);
  }
  Status SetFileTimesFromDos(const std::string& path, uint32_t dos) override {
    return real_->SetFileTimesFromDos(path, dos);
  }

 private:
  static bool Matches(const std::string& needle, const std::string& path) {
    return !needle.empty() && path.find(needle) != std::string::npos;
  }

  class Readable : public ReadableFile {
   public:
    Readable(std::unique_ptr<ReadableFile> inner, uint64_t size, bool fail)
        : inner_(std::move(inner)), size_(size), fail_(fail) {}
    uint64_t Size() const override { return size_ != 0 ? size_ : inner_->Size(); }
    Status Read(char* buffer, size_t n, size_t* got) override {
      if (fail_ && reads_++ > 0) {
        *got = 0;
        return Status::IoError("read refused");
      }
      return inner_->Read(buffer, n, got);
    }

   private:
    std::unique_ptr<ReadableFile> inner_;
    uint64_t size_;
    bool fail_;
    int reads_ = 0;
  };

  class Writable : public WritableFile {
   public:
    Writable(std::unique_ptr<WritableFile> inner, int64_t* budget)
        : inner_(std::move(inner)), budget_(budget) {}
    Status Append(std::string_view data) override {
      if (*budget_ >= 0) {
        if (static_cast<int64_t>(data.size()) > *budget_) {
          std::string_view part = data.substr(0, static_cast<size_t>(*budget_));
          *budget_ = 0;
          inner_->Append(part);
          return Status::Error(Status::Code::kNoSpace, "disk full");
        }
        *budget_ -= static_cast<int64_t>(data.size());
      }
      return inner_->Append(data);
    }
    Status Close() override { return inner_->Close(); }

   private:
    std::unique_ptr<WritableFile> inner_;
    int64_t* budget_;
  };

  Env* real_;
  int64_t unlimited_ = -1;
};

}  // namespace cartidex::test

#endif  // CARTIDEX_TESTS_SUPPORT_FAILING_ENV_H_
