// Arbitrary bytes as a ".zip" archive, identified as the dialog identifies one (against the set
// of the seeds' files, demo/files/samp.u*), then extracted with its folders kept. Identification
// writes only in `tmp` and only files the session lists, which the next identification takes
// away; extraction writes only in the folder given; no file outgrows what its members declare.
#include <unzip.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "app/headless_view.h"
#include "fuzz_support.h"
#include "identify/identify_file.h"
#include "identify/session_state.h"
#include "platform/env.h"
#include "platform/path.h"
#include "platform/program_folder.h"
#include "romdb/datafile_loader.h"
#include "romdb/rom_database.h"
#include "zip/zip_extractor.h"

namespace cartidex {
namespace {

namespace fs = std::filesystem;
using fuzz::Check;

struct World {
  World() {
    ParseOwnDatafile("Sample Set (Rev 2.0).zip:samp.u1:samp.u2;:22:38;:C8B896B1:30301aa3\r\n",
                     &Database());
    fs::create_directories(tmp);
    Check(WriteWholeFile(Env::Default(), plain, "next").ok(), "cannot write next.bin");
  }
  std::string tmp = TmpFolder(), plain = fuzz::SandboxPath() + "/next.bin",
              archive = fuzz::SandboxPath() + "/in.zip", kept = fuzz::SandboxPath() + "/kept";
};

// The largest size that a member declares, by the file name it lands as.
std::map<std::string, uint64_t> DeclaredSizes(const std::string& archive) {
  std::map<std::string, uint64_t> sizes;
  unzFile zip = unzOpen64(archive.c_str());
  for (int status = zip != nullptr ? unzGoToFirstFile(zip) : UNZ_ERRNO; status == UNZ_OK;
       status = unzGoToNextFile(zip)) {
    unz_file_info64 info;
    std::string name(UINT16_MAX, '\0');  // the longest name a zip can hold
    if (unzGetCurrentFileInfo64(zip, &info, name.data(), UINT16_MAX, nullptr, 0, nullptr, 0) !=
        UNZ_OK) {
      break;
    }
    name.resize(info.size_filename);
    size_t cut = name.size();
    while (cut > 0 && !IsZipSeparator(name[cut - 1])) --cut;
    uint64_t& size = sizes[SanitizeFileName(std::string_view(name).substr(cut))];
    size = std::max<uint64_t>(size, info.uncompressed_size);
  }
  if (zip != nullptr) unzClose(zip);
  return sizes;
}

// Every file below `folder` is a plain file no larger than its member declares, and one of
// `listed` when that is given.
void CheckFiles(const std::string& folder, const std::map<std::string, uint64_t>& declared,
                const std::vector<std::string>* listed = nullptr) {
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.is_directory() && !entry.is_symlink() && listed == nullptr) continue;
    Check(entry.is_regular_file() && !entry.is_symlink(), "extraction made other than files");
    auto it = declared.find(entry.path().filename().string());
    Check(it != declared.end() && entry.file_size() <= it->second,
          "a file larger than its member declares, or that no member names");
    Check(listed == nullptr ||
              std::find(listed->begin(), listed->end(), entry.path().string()) != listed->end(),
          "tmp holds a file that the session does not list");
  }
}

}  // namespace
}  // namespace cartidex

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace cartidex;
  fuzz::EnterSandbox();
  static World world;
  Check(WriteWholeFile(Env::Default(), world.archive, {reinterpret_cast<const char*>(data), size})
            .ok(),
        "cannot write in.zip");
  const std::map<std::string, uint64_t> declared = DeclaredSizes(world.archive);
  HeadlessView view;
  RomRecord result;
  fuzz::SetFence(world.tmp);
  if (IdentifyAndShow(&view, world.archive, &result)) {
    Check(result.name == "Sample Set (Rev 2.0).zip" && result.crc == kArchiveMark,
          "an archive identified as no set");
  }
  Check(Session().archive_mode, "a \".zip\" path was not taken for an archive");
  CheckFiles(world.tmp, declared, &Session().extracted_files);
  IdentifyAndShow(&view, world.plain, &result);
  Check(Session().extracted_files.empty() && fs::is_empty(world.tmp),
        "tmp not empty after the next identification");
  fs::create_directory(world.kept);
  fuzz::SetFence(world.kept);
  ZipExtractor(world.archive.c_str()).ExtractAllTo(world.kept.c_str(), /*ignore_paths=*/false);
  fuzz::SetFence("");
  CheckFiles(world.kept, declared);
  fs::remove_all(world.kept);
  fuzz::TakeLog();
  return 0;
}
