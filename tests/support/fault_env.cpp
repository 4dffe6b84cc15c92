#include "support/fault_env.h"

#include <algorithm>
#include <mutex>

namespace cartidex::test {

namespace {

bool Contains(const std::string& text, const std::string& needle) {
  return text.find(needle) != std::string::npos;
}

// A file for reading whose reads may be made to fail and whose size may be faked.
class FaultReadableFile : public ReadableFile {
 public:
  FaultReadableFile(FaultEnv* env, std::string path, std::unique_ptr<ReadableFile> base,
                    std::optional<uint64_t> size)
      : env_(env), path_(std::move(path)), base_(std::move(base)), size_(size) {}
  uint64_t Size() const override { return size_.value_or(base_->Size()); }
  Status Read(char* buffer, size_t n, size_t* got) override {
    if (env_->ShouldFail(EnvOp::kRead, path_)) {
      *got = 0;
      return env_->failure();
    }
    return base_->Read(buffer, n, got);
  }

 private:
  FaultEnv* env_;
  std::string path_;
  std::unique_ptr<ReadableFile> base_;
  std::optional<uint64_t> size_;
};

// A file for writing whose appends and close may be made to fail, on a disk that may fill up.
class FaultWritableFile : public WritableFile {
 public:
  FaultWritableFile(FaultEnv* env, std::string path, std::unique_ptr<WritableFile> base)
      : env_(env), path_(std::move(path)), base_(std::move(base)) {}
  Status Append(std::string_view data) override {
    if (env_->ShouldFail(EnvOp::kAppend, path_)) return env_->failure();
    const size_t room = env_->Room(path_, data.size());
    if (room < data.size()) {
      base_->Append(data.substr(0, room));
      return Status::Error(Status::Code::kNoSpace, path_ + ": disk full");
    }
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

const char* EnvOpName(EnvOp op) {
  switch (op) {
    case EnvOp::kOpenForRead:
      return "open for reading";
    case EnvOp::kRead:
      return "read";
    case EnvOp::kOpenForWrite:
      return "open for writing";
    case EnvOp::kAppend:
      return "write";
    case EnvOp::kClose:
      return "close";
    case EnvOp::kCreateFolder:
      return "create folder";
    case EnvOp::kDeleteFile:
      return "delete";
    case EnvOp::kGetKind:
      return "examine";
    case EnvOp::kListFolder:
      return "list";
    case EnvOp::kSetCurrentDirectory:
      return "change directory";
    case EnvOp::kMoveFile:
      return "move";
    case EnvOp::kGetFileId:
      return "identify file";
    case EnvOp::kSetFileTimes:
      return "set times";
  }
  return "?";
}

void FaultEnv::FailNth(EnvOp op, int n, std::string needle) {
  countdowns_.push_back({op, std::move(needle), n});
}

void FaultEnv::FailCall(int n) {
  countdowns_.push_back({std::nullopt, std::string(), n});
}

void FaultEnv::FailAlways(EnvOp op) {
  always_.push_back({op, std::string()});
}

void FaultEnv::FailPathsContaining(EnvOp op, std::string needle) {
  always_.push_back({op, std::move(needle)});
}

void FaultEnv::DiskFullAfter(int64_t bytes, std::string needle) {
  disk_room_ = bytes;
  disk_needle_ = std::move(needle);
}

void FaultEnv::ReportSize(uint64_t size, std::string needle) {
  reported_size_ = size;
  size_needle_ = std::move(needle);
}

void FaultEnv::Ignore(std::string needle) {
  ignored_.push_back(std::move(needle));
}

void FaultEnv::Clear() {
  countdowns_.clear();
  always_.clear();
  disk_room_.reset();
  reported_size_.reset();
}

int FaultEnv::Calls(EnvOp op) const {
  auto it = counts_.find(op);
  return it == counts_.end() ? 0 : it->second;
}

bool FaultEnv::Ignored(const std::string& path) const {
  return std::any_of(ignored_.begin(), ignored_.end(),
                     [&](const std::string& needle) { return Contains(path, needle); });
}

bool FaultEnv::ShouldFail(EnvOp op, const std::string& path, const std::string& other) {
  if (Ignored(path)) return false;
  const std::lock_guard<std::mutex> lock(mu_);
  ++counts_[op];
  auto matches = [&](const std::string& needle) {
    return needle.empty() || Contains(path, needle) || Contains(other, needle);
  };
  bool fail = false;
  for (const Always& a : always_) {
    if (a.op == op && matches(a.needle)) fail = true;
  }
  for (Countdown& c : countdowns_) {
    if (c.remaining <= 0 || (c.op.has_value() && *c.op != op) || !matches(c.needle)) continue;
    if (--c.remaining == 0) fail = true;
  }
  calls_.push_back({op, path, other, fail});
  if (fail) ++failures_;
  return fail;
}

size_t FaultEnv::Room(const std::string& path, size_t want) {
  const std::lock_guard<std::mutex> lock(mu_);
  if (!disk_room_.has_value() || Ignored(path)) return want;
  if (!disk_needle_.empty() && !Contains(path, disk_needle_)) return want;
  const size_t room = static_cast<size_t>(std::min<int64_t>(*disk_room_, want));
  *disk_room_ -= static_cast<int64_t>(room);
  return room;
}

Status FaultEnv::OpenForRead(const std::string& path, std::unique_ptr<ReadableFile>* file) {
  if (ShouldFail(EnvOp::kOpenForRead, path)) return failure_;
  std::unique_ptr<ReadableFile> base;
  Status s = base_->OpenForRead(path, &base);
  if (!s.ok()) return s;
  std::optional<uint64_t> size;
  if (reported_size_.has_value() && (size_needle_.empty() || Contains(path, size_needle_))) {
    size = reported_size_;
  }
  *file = std::make_unique<FaultReadableFile>(this, path, std::move(base), size);
  return s;
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
  // What cannot be examined reads as missing, as in the real Env.
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
