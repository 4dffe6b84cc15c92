#include "support/fault_env.h"

#include <algorithm>

namespace cartidex::test {

namespace {

bool Contains(const std::string& text, const std::string& needle) {
  return text.find(needle) != std::string::npos;
}

class FaultReadableFile : public ReadableFile {
 public:
  FaultReadableFile(FaultEnv* env, std::string path, std::unique_ptr<ReadableFile> base,
                    std::optional<uint64_t> size)
      : env_(env), path_(std::move(path)), base_(std::move(base)), size_(size) {}
  uint64_t Size() const override { return size_.value_or(base_->Size()); }
  Status Read(char* buffer, size_t n, size_t* got) override {
    *got = 0;
    return env_->Fails(EnvOp::kRead, path_) ? FaultEnv::Failure() : base_->Read(buffer, n, got);
  }

 private:
  FaultEnv* env_;
  std::string path_;
  std::unique_ptr<ReadableFile> base_;
  std::optional<uint64_t> size_;
};

class FaultWritableFile : public WritableFile {
 public:
  FaultWritableFile(FaultEnv* env, std::string path, std::unique_ptr<WritableFile> base)
      : env_(env), path_(std::move(path)), base_(std::move(base)) {}
  Status Append(std::string_view data) override {
    if (env_->Fails(EnvOp::kAppend, path_)) return FaultEnv::Failure();
    const size_t room = env_->Room(path_, data.size());
    if (room == data.size()) return base_->Append(data);
    base_->Append(data.substr(0, room));
    return Status::Error(Status::Code::kNoSpace, path_ + ": disk full");
  }
  Status Close() override {
    const Status s = base_->Close();
    return env_->Fails(EnvOp::kClose, path_) ? FaultEnv::Failure() : s;
  }

 private:
  FaultEnv* env_;
  std::string path_;
  std::unique_ptr<WritableFile> base_;
};

}  // namespace

bool FaultEnv::Ignored(const std::string& path) const {
  return std::any_of(ignored_.begin(), ignored_.end(),
                     [&](const std::string& needle) { return Contains(path, needle); });
}

bool FaultEnv::Fails(EnvOp op, const std::string& path, const std::string& other) {
  if (Ignored(path)) return false;
  bool fail = false;
  for (Fault& f : faults_) {
    if ((f.op.has_value() && *f.op != op) ||
        !(f.needle.empty() || Contains(path, f.needle) || Contains(other, f.needle))) {
      continue;
    }
    if (f.remaining == kEveryCall || (f.remaining > 0 && --f.remaining == 0)) fail = true;
  }
  calls_.push_back({op, path, other, fail});
  return fail;
}

size_t FaultEnv::Room(const std::string& path, size_t want) {
  if (!disk_room_.has_value() || Ignored(path) || !Contains(path, disk_needle_)) return want;
  const size_t room = static_cast<size_t>(std::min<int64_t>(*disk_room_, want));
  *disk_room_ -= static_cast<int64_t>(room);
  return room;
}

Status FaultEnv::OpenForRead(const std::string& path, std::unique_ptr<ReadableFile>* file) {
  if (Fails(EnvOp::kOpenForRead, path)) return Failure();
  std::unique_ptr<ReadableFile> base;
  const Status s = base_->OpenForRead(path, &base);
  if (!s.ok()) return s;
  std::optional<uint64_t> size;
  if (Contains(path, size_needle_)) size = reported_size_;
  *file = std::make_unique<FaultReadableFile>(this, path, std::move(base), size);
  return s;
}

Status FaultEnv::OpenForWrite(const std::string& path, WriteMode mode,
                              std::unique_ptr<WritableFile>* file) {
  if (Fails(EnvOp::kOpenForWrite, path)) return Failure();
  std::unique_ptr<WritableFile> base;
  const Status s = base_->OpenForWrite(path, mode, &base);
  if (!s.ok()) return s;
  *file = std::make_unique<FaultWritableFile>(this, path, std::move(base));
  return s;
}

}  // namespace cartidex::test
