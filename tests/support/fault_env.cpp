#include "support/fault_env.h"

#include <algorithm>

namespace cartidex::test {

namespace {

// A file for writing whose appends and close may be made to fail.
class FaultWritableFile : public WritableFile {
 public:
  FaultWritableFile(FaultEnv* env, std::string path, std::unique_ptr<WritableFile> base)
      : env_(env), path_(std::move(path)), base_(std::move(base)) {}
  Status Append(std::string_view data) override {
    if (env_->ShouldFail(EnvOp::kAppend, path_)) return env_->failure();
    return base_->Append(data);
  }
  Status Close() override {
    Status s = base_->Close();
    if (env_->ShouldFail(EnvOp::kClose, path_)) return env_->failure();
    return s;
  }

 private:
  FaultEnv* env_;
  std::string path_;
  std::unique_ptr<WritableFile> base_;
};

}  // namespace

void FaultEnv::FailNth(EnvOp op, int n) {
  Faults& f = faults_[op];
  f.nth.push_back(f.calls + n);
}

void FaultEnv::FailAlways(EnvOp op) {
  faults_[op].always = true;
}

void FaultEnv::FailPathsContaining(EnvOp op, std::string needle) {
  faults_[op].needles.push_back(std::move(needle));
}

void FaultEnv::Clear() {
  for (auto& [op, f] : faults_) {
    f.nth.clear();
    f.always = false;
    f.needles.clear();
  }
}

int FaultEnv::Calls(EnvOp op) const {
  auto it = faults_.find(op);
  return it == faults_.end() ? 0 : it->second.calls;
}

bool FaultEnv::ShouldFail(EnvOp op, const std::string& path, const std::string& other) {
  Faults& f = faults_[op];
  ++f.calls;
  if (f.always) return true;
  if (std::find(f.nth.begin(), f.nth.end(), f.calls) != f.nth.end()) return true;
  for (const std::string& needle : f.needles) {
    if (path.find(needle) != std::string::npos || other.find(needle) != std::string::npos) {
      return true;
    }
  }
  return false;
}

Status FaultEnv::OpenForRead(const std::string& path, std::unique_ptr<ReadableFile>* file) {
  if (ShouldFail(EnvOp::kOpenForRead, path)) return failure_;
  return base_->OpenForRead(path, file);
}

Status FaultEnv::OpenForWrite(const std::string& path, WriteMode mode,
                              std::unique_ptr<WritableFile>* file) {
  if (ShouldFail(EnvOp::kOpenForWrite, path)) return failure_;
  std::unique_ptr<WritableFile> base;
  Status s = base_->OpenForWrite(path, mode, &base);
  if (!s.ok()) return s;
  *file = std::make_unique<FaultWritableFile>(this, path, std::move(base));
  return s;
}

Status FaultEnv::CreateFolder(const std::string& path) {
  if (ShouldFail(EnvOp::kCreateFolder, path)) return failure_;
  return base_->CreateFolder(path);
}

Status FaultEnv::DeleteFile(const std::string& path) {
  if (ShouldFail(EnvOp::kDeleteFile, path)) return failure_;
  return base_->DeleteFile(path);
}

FileKind FaultEnv::GetKind(const std::string& path) {
  if (ShouldFail(EnvOp::kGetKind, path)) return FileKind::kMissing;
  return base_->GetKind(path);
}

Status FaultEnv::ListFolder(const std::string& folder, std::string_view pattern,
                            std::vector<DirEntry>* entries) {
  if (ShouldFail(EnvOp::kListFolder, folder)) {
    entries->clear();
    return failure_;
  }
  return base_->ListFolder(folder, pattern, entries);
}

Status FaultEnv::SetCurrentDirectory(const std::string& path) {
  if (ShouldFail(EnvOp::kSetCurrentDirectory, path)) return failure_;
  return base_->SetCurrentDirectory(path);
}

Status FaultEnv::MoveFile(const std::string& from, const std::string& to) {
  if (ShouldFail(EnvOp::kMoveFile, from, to)) return failure_;
  return base_->MoveFile(from, to);
}

Status FaultEnv::GetFileId(const std::string& path, FileId* id) {
  if (ShouldFail(EnvOp::kGetFileId, path)) return failure_;
  return base_->GetFileId(path, id);
}

Status FaultEnv::SetFileTimesFromDos(const std::string& path, uint32_t dos_date_time) {
  if (ShouldFail(EnvOp::kSetFileTimes, path)) return failure_;
  return base_->SetFileTimesFromDos(path, dos_date_time);
}

}  // namespace cartidex::test
