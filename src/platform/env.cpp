#include "platform/env.h"

namespace cartidex {

namespace {
Env* g_installed = nullptr;
}  // namespace

Env* Env::Default() {
  return g_installed != nullptr ? g_installed : RealEnv();
}

void Env::SetDefault(Env* env) {
  g_installed = env;
}

Status ReadWholeFile(Env* env, const std::string& path, std::string* contents) {
  contents->clear();
  std::unique_ptr<ReadableFile> file;
  Status s = env->OpenForRead(path, &file);
  if (!s.ok()) return s;
  // Room for the size the file had when opened, and more as it grows: no copying as it fills.
  constexpr size_t kChunk = 1 << 16;
  contents->reserve(static_cast<size_t>(file->Size()) + kChunk);
  for (;;) {
    size_t old = contents->size();
    contents->resize(old + kChunk);
    size_t got = 0;
    s = file->Read(contents->data() + old, kChunk, &got);
    contents->resize(old + got);
    if (!s.ok()) return s;
    if (got == 0) return Status::Ok();
  }
}

Status WriteWholeFile(Env* env, const std::string& path, std::string_view contents) {
  std::unique_ptr<WritableFile> file;
  Status s = env->OpenForWrite(path, WriteMode::kReplace, &file);
  if (!s.ok()) return s;
  s = file->Append(contents);
  Status c = file->Close();
  return s.ok() ? c : s;
}

}  // namespace cartidex
