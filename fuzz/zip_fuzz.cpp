// Arbitrary bytes as a ".zip" archive, identified as the dialog identifies one against a datafile
// with a set of each seed archive's contents, then extracted with its folders kept. Besides the
// sanitizers' findings and a hang, it fails when anything is written outside `tmp` (or, with
// folders kept, outside the folder given), when `tmp` holds anything the session does not list,
// when a file is larger than every member of its name declares, when `tmp` is not empty after
// the next identification, or when an archive is identified as no set.
#include <unzip.h>
#include <zlib.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
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
#include "romdb/datafile_loader.h"
#include "romdb/rom_database.h"
#include "zip/zip_extractor.h"
#include "zip_seeds.h"

namespace cartidex {
namespace {

namespace fs = std::filesystem;
using fuzz::Check;

// The database, `tmp` and a plain file for the next identification, made once.
struct World {
  World() {
    std::string datafile = "#console#;Fuzz\r\n";
    int set = 0;
    for (const auto& archive : fuzz::SeedArchives()) {
      std::string names = "S" + std::to_string(++set) + ".zip", sizes, crcs;
      for (size_t i = 0; i < archive.size(); ++i) {
        const std::string& bytes = archive[i].data;
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
    Check(Database().GetSetCount() == fuzz::SeedArchives().size(), "the datafile did not load");
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

bool IsSet(const std::string& name) {
  for (uint32_t s = 0; s < Database().GetSetCount(); ++s) {
    if (Database().GetSet(s).display_name == name) return true;
  }
  return false;
}

}  // namespace
}  // namespace cartidex

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace cartidex;
  fuzz::EnterSandbox();
  static World world;
  fuzz::Check(WriteWholeFile(Env::Default(), world.archive,
                             std::string_view(reinterpret_cast<const char*>(data), size))
                  .ok(),
              "cannot write in.zip");
  const std::map<std::string, uint64_t> declared = DeclaredSizes(world.archive);
  HeadlessView view;
  RomRecord result;
  {
    fuzz::WriteFence fence(world.tmp);
    if (IdentifyAndShow(&view, world.archive, &result)) {
      fuzz::Check(IsSet(result.name) && result.crc == kArchiveMark, "no set identified");
    }
    fuzz::Check(Session().archive_mode, "a \".zip\" path was not taken for an archive");
    CheckFiles(world.tmp, declared, &Session().extracted_files);
    // The next identification takes away everything the archive left.
    IdentifyAndShow(&view, world.plain, &result);
  }
  fuzz::Check(Session().extracted_files.empty() && std::filesystem::is_empty(world.tmp),
              "tmp not empty after the next identification");
  std::filesystem::create_directory(world.kept);
  {
    fuzz::WriteFence fence(world.kept);
    ZipExtractor(world.archive.c_str()).ExtractAllTo(world.kept.c_str(), /*ignore_paths=*/false);
  }
  CheckFiles(world.kept, declared);
  std::filesystem::remove_all(world.kept);
  fuzz::TakeLog();
  return 0;
}
