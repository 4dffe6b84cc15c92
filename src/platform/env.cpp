#include "platform/env.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

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

Status ReadWholeFile(Env* env, const std::string& path, FileBytes* contents) {
  contents->data.reset();
  contents->size = 0;
  std::unique_ptr<ReadableFile> file;
  Status s = env->OpenForRead(path, &file);
  if (!s.ok()) return s;
  return ReadOpenFile(file.get(), contents);
}

Status ReadOpenFile(ReadableFile* file, FileBytes* contents) {
  contents->data.reset();
  contents->size = 0;
  // One byte more than the size the file had when opened is asked for: a file that did not
  // change is read whole by the first call, and the next finds its end. A file that grew
  // meanwhile is read on in pieces, into ever larger buffers.
  constexpr size_t kChunk = 1 << 16;
  const uint64_t expected = file->Size();
  size_t capacity = expected < SIZE_MAX - kChunk ? static_cast<size_t>(expected) + 1 : kChunk;
  contents->data.reset(new char[capacity]);
  for (;;) {
    if (contents->size == capacity) {
      const size_t larger = capacity + std::max(capacity / 2, kChunk);
      std::unique_ptr<char[]> data(new char[larger]);
      std::memcpy(data.get(), contents->data.get(), contents->size);
      contents->data = std::move(data);
      capacity = larger;
    }
    size_t got = 0;
    const Status s =
        file->Read(contents->data.get() + contents->size, capacity - contents->size, &got);
    if (!s.ok()) return s;
    if (got == 0) return Status::Ok();
    contents->size += got;
  }
}

Status ReadWholeFile(Env* env, const std::string& path, std::string* contents) {
  FileBytes bytes;
  Status s = ReadWholeFile(env, path, &bytes);
  contents->assign(bytes.text());
  return s;
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
