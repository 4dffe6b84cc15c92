// Arbitrary bytes as a ".7z" archive, identified as the dialog identifies one against a datafile
// with a set of each seed archive's contents, then extracted by the extractor alone into a folder
// of its own. Besides the sanitizers' findings and a hang, it fails when anything is written
// outside `tmp` (or that folder), when `tmp` holds anything the session does not list, when a
// file is larger than every member of its name declares, when `tmp` is not empty after the next
// identification, or when an archive is identified as no set.
// The seeds: at start the target writes the seed archives, made with the library's own 7z writer,
// into the first corpus folder it is given.
#include <archive.h>
#include <archive_entry.h>
#include <zlib.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/headless_view.h"
#include "fuzz_sandbox.h"
#include "identify/identify_file.h"
#include "identify/number_text.h"
#include "identify/session_state.h"
#include "platform/env.h"
#include "platform/path.h"
#include "platform/program_folder.h"
#include "platform/utf8_text_scope.h"
#include "romdb/datafile_loader.h"
#include "romdb/rom_database.h"
#include "zip/sevenz_extractor.h"

namespace cartidex {
namespace {

namespace fs = std::filesystem;
using fuzz::Check;
using Members = std::vector<std::pair<std::string, std::string>>;

// The members of the seed archives, and the compression each is written with.
const std::vector<std::pair<const char*, Members>>& Seeds() {
  static const std::vector<std::pair<const char*, Members>> seeds = {
      {"copy", {{"a.bin", "stored contents"}}},
      {"lzma2", {{"a.bin", std::string(1800, 'd')}, {"b.bin", "two"}, {"c.bin", ""}}},
      {"lzma1", {{"sub/a.bin", "in a folder"}, {"sub\\b.bin", "backslash folder"}}},
      {"deflate", {{"../climb.bin", "out"}, {"/abs.bin", "absolute"}, {"x.bin", "x"}}},
      {"ppmd", {{"same.bin", "one"}, {"same.bin", "two"}, {"m.bin", "m"}}},
      {"bzip2", {{"one.bin", "one"}, {"two.bin", std::string(300, 't')}}},
  };
  return seeds;
}

struct WriterFree {
  void operator()(archive* a) const { archive_write_free(a); }
};
struct ReaderFree {
  void operator()(archive* a) const { archive_read_free(a); }
};
struct EntryFree {
  void operator()(archive_entry* e) const { archive_entry_free(e); }
};

// Writes a 7z archive of `members` to `path`; false when the library cannot.
bool WriteSeed(const std::string& path, const char* compression, const Members& members) {
  std::unique_ptr<archive, WriterFree> writer(archive_write_new());
  if (writer == nullptr || archive_write_set_format_7zip(writer.get()) != ARCHIVE_OK ||
      archive_write_set_format_option(writer.get(), "7zip", "compression", compression) !=
          ARCHIVE_OK ||
      archive_write_open_filename(writer.get(), path.c_str()) != ARCHIVE_OK) {
    return false;
  }
  for (const auto& [name, data] : members) {
    std::unique_ptr<archive_entry, EntryFree> entry(archive_entry_new());
    if (entry == nullptr) return false;
    archive_entry_set_pathname(entry.get(), name.c_str());
    archive_entry_set_filetype(entry.get(), AE_IFREG);
    archive_entry_set_perm(entry.get(), 0644);
    archive_entry_set_size(entry.get(), static_cast<la_int64_t>(data.size()));
    if (archive_write_header(writer.get(), entry.get()) != ARCHIVE_OK ||
        archive_write_data(writer.get(), data.data(), data.size()) !=
            static_cast<la_ssize_t>(data.size())) {
      return false;
    }
  }
  return archive_write_close(writer.get()) == ARCHIVE_OK;
}

// The database, `tmp` and a plain file for the next identification, made once.
struct World {
  World() {
    std::string datafile = "#console#;Fuzz\r\n";
    int set = 0;
    for (const auto& [compression, members] : Seeds()) {
      std::string names = "S" + std::to_string(++set) + ".zip", sizes, crcs;
      for (size_t i = 0; i < members.size(); ++i) {
        const std::string& bytes = members[i].second;
        if (bytes.empty()) continue;
        names += ":r" + std::to_string(i);
        sizes += ":" + std::to_string(bytes.size());
        crcs += ":" + FormatHex8(crc32(0, reinterpret_cast<const Bytef*>(bytes.data()),
                                       static_cast<uInt>(bytes.size())));
      }
      datafile += names + ";" + sizes + ";" + crcs + "\r\n";
    }
    Database().Clear();
    ParseOwnDatafile(datafile, &Database());
    Check(Database().GetSetCount() == Seeds().size(), "the datafile did not load");
    fs::create_directories(tmp);
    Check(WriteWholeFile(Env::Default(), plain, "next").ok(), "cannot write next.bin");
  }
  std::string tmp = TmpFolder(), plain = fuzz::SandboxPath() + "/next.bin",
              archive = fuzz::SandboxPath() + "/in.7z", kept = fuzz::SandboxPath() + "/kept";
};

// The largest size that a member declares, by the file name it lands as.
std::map<std::string, uint64_t> DeclaredSizes(const std::string& path) {
  std::map<std::string, uint64_t> sizes;
  const Utf8TextScope utf8_names;
  std::unique_ptr<archive, ReaderFree> reader(archive_read_new());
  if (reader == nullptr || archive_read_support_format_7zip(reader.get()) != ARCHIVE_OK ||
      archive_read_open_filename(reader.get(), path.c_str(), 1 << 16) != ARCHIVE_OK) {
    return sizes;
  }
  archive_entry* entry = nullptr;
  for (int status = archive_read_next_header(reader.get(), &entry);
       status == ARCHIVE_OK || status == ARCHIVE_WARN;
       status = archive_read_next_header(reader.get(), &entry)) {
    const char* stored = archive_entry_pathname(entry);
    if (stored == nullptr || archive_entry_size(entry) < 0) continue;
    std::string_view name(stored);
    size_t cut = name.size();
    while (cut > 0 && !IsZipSeparator(name[cut - 1])) --cut;
    uint64_t& size = sizes[SanitizeFileName(name.substr(cut))];
    size = std::max<uint64_t>(size, static_cast<uint64_t>(archive_entry_size(entry)));
  }
  return sizes;
}

// Every file below `folder` is a plain file no larger than its member declares, and one of
// `listed` when that is given.
void CheckFiles(const std::string& folder, const std::map<std::string, uint64_t>& declared,
                const std::vector<std::string>* listed = nullptr) {
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
    Check(entry.is_regular_file() && !entry.is_symlink(), "extraction made other than files");
    auto it = declared.find(entry.path().filename().string());
    Check(it != declared.end() && entry.file_size() <= it->second,
          "a file larger than its member declares, or that no member names");
    Check(listed == nullptr ||
              std::find(listed->begin(), listed->end(), entry.path().string()) != listed->end(),
          "tmp holds a file that the session does not list");
  }
}

bool IsSet(const std::string& name) {
  for (uint32_t s = 0; s < Database().GetSetCount(); ++s) {
    if (Database().GetSet(s).display_name == name) return true;
  }
  return false;
}

}  // namespace
}  // namespace cartidex

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  using namespace cartidex;
  for (int i = 1; i < *argc; ++i) {
    const std::string arg = (*argv)[i];
    if (arg.starts_with("-")) continue;
    if (!fs::is_directory(arg)) break;
    int n = 0;
    for (const auto& [compression, members] : Seeds()) {
      const std::string path = arg + "/seed-7z-" + std::to_string(++n);
      fuzz::Check(WriteSeed(path, compression, members), "cannot write a 7z seed");
      // Cut short too: no directory at its end.
      std::string bytes;
      fuzz::Check(ReadWholeFile(Env::Default(), path, &bytes).ok(), "cannot read a 7z seed");
      fuzz::Check(
          WriteWholeFile(Env::Default(), path + "-cut", bytes.substr(0, bytes.size() / 2)).ok(),
          "cannot write a 7z seed");
    }
    break;
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace cartidex;
  fuzz::EnterSandbox();
  static World world;
  fuzz::Check(WriteWholeFile(Env::Default(), world.archive,
                             std::string_view(reinterpret_cast<const char*>(data), size))
                  .ok(),
              "cannot write in.7z");
  const std::map<std::string, uint64_t> declared = DeclaredSizes(world.archive);
  HeadlessView view;
  RomRecord result;
  {
    fuzz::WriteFence fence(world.tmp);
    if (IdentifyAndShow(&view, world.archive, &result)) {
      fuzz::Check(IsSet(result.name) && result.crc == kArchiveMark, "no set identified");
    }
    fuzz::Check(Session().archive_mode, "a \".7z\" path was not taken for an archive");
    CheckFiles(world.tmp, declared, &Session().extracted_files);
    // The next identification takes away everything the archive left.
    IdentifyAndShow(&view, world.plain, &result);
  }
  fuzz::Check(Session().extracted_files.empty() && std::filesystem::is_empty(world.tmp),
              "tmp not empty after the next identification");
  std::filesystem::create_directory(world.kept);
  {
    fuzz::WriteFence fence(world.kept);
    SevenZipExtractor extractor;
    extractor.Open(world.archive.c_str());
    extractor.SetOutputFolder(world.kept);
    extractor.ExtractAll(/*ignore_paths=*/true);
  }
  CheckFiles(world.kept, declared);
  std::filesystem::remove_all(world.kept);
  fuzz::TakeLog();
  return 0;
}
