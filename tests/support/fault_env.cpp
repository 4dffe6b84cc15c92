#include "support/fault_env.h"

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
    return env_->Fails(EnvOp::kAppend, path_) ? FaultEnv::Failure() : base_->Append(data);
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

bool FaultEnv::Fails(EnvOp op, const std::string& path, const std::string& other) {
  if (path.ends_with("log.txt")) return false;
  bool fail = false;
  for (Fault& f : faults_) {
    if ((f.op.has_value() && *f.op != op) ||
        !(f.needle.empty() || Contains(path, f.needle) || Contains(other, f.needle))) {
      continue;
    }
    if (f.remaining == kEveryCall || (f.remaining > 0 && --f.remaining == 0)) fail = true;
  }
  ++calls_;
  return fail;
}

Status FaultEnv::OpenForRead(const std::string& path, std::unique_ptr<ReadableFile>* file) {
  if (Fails(EnvOp::kOpenForRead, path)) return Failure();
  std::unique_ptr<ReadableFile> base;
  const Status s = base_->OpenForRead(path, &base);
  if (s.ok())
    *file = std::make_unique<FaultReadableFile>(this, path, std::move(base), reported_size_);
  return s;
}

Status FaultEnv::OpenForWrite(const std::string& path, WriteMode mode,
                              std::unique_ptr<WritableFile>* file) {
  if (Fails(EnvOp::kOpenForWrite, path)) return Failure();
  std::unique_ptr<WritableFile> base;
  const Status s = base_->OpenForWrite(path, mode, &base);
  if (s.ok()) *file = std::make_unique<FaultWritableFile>(this, path, std::move(base));
  return s;
}

}  // namespace cartidex::test
