#include "platform/env.h"

#include <cstdint>

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
  // One byte more than the size the file had when opened is asked for: a file that did not
  // change is read whole by the first call, and the next finds its end. A file that grew
  // meanwhile is read on in pieces.
  constexpr size_t kChunk = 1 << 16;
  const uint64_t expected = file->Size();
  size_t want = expected < SIZE_MAX - kChunk ? static_cast<size_t>(expected) + 1 : kChunk;
  for (;;) {
    const size_t old = contents->size();
    contents->resize(old + want);
    size_t got = 0;
    s = file->Read(contents->data() + old, want, &got);
    contents->resize(old + got);
    if (!s.ok()) return s;
    if (got == 0) return Status::Ok();
    want = got < want ? want - got : kChunk;
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
