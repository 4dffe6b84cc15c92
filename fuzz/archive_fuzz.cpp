// Arbitrary bytes as an archive (".zip" in fuzz_zip, ".7z" in fuzz_sevenz), identified against
// the seeds' set (demo/files/samp.u*), then extracted by the extractor alone. Identification
// writes only files the session lists in `tmp`, which the next identification takes away;
// extraction writes only in the folder given.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/headless_view.h"
#include "fuzz_support.h"
#include "identify/identify_file.h"
#include "identify/session_state.h"
#include "platform/env.h"
#include "platform/program_folder.h"
#include "romdb/datafile_loader.h"
#include "romdb/rom_database.h"
#include "zip/sevenz_extractor.h"
#include "zip/zip_extractor.h"

namespace cartidex::fuzz {
namespace {

namespace fs = std::filesystem;

#ifdef CARTIDEX_FUZZ_SEVENZ
constexpr char kExtension[] = ".7z";
void ExtractAlone(const std::string& archive, const std::string& folder) {
  SevenZipExtractor extractor;
  if (extractor.Open(archive.c_str()) && extractor.SetOutputFolder(folder)) {
    extractor.ExtractAll(/*ignore_paths=*/true);
  }
}
#else
constexpr char kExtension[] = ".zip";
void ExtractAlone(const std::string& archive, const std::string& folder) {
  ZipExtractor(archive.c_str()).ExtractAllTo(folder.c_str(), /*ignore_paths=*/false);
}
#endif

// The database holds the seeds' set; "next.bin" is the file identified after each archive.
struct World {
  World() {
    ParseOwnDatafile("Sample Set (Rev 2.0).zip:samp.u1:samp.u2;:22:38;:C8B896B1:30301aa3\r\n",
                     &Database());
    fs::create_directories(tmp);
    std::ofstream(plain) << "next";
  }
  std::string tmp = TmpFolder(), plain = SandboxPath() + "/next.bin",
              archive = SandboxPath() + "/in" + kExtension, kept = SandboxPath() + "/kept";
};

}  // namespace

void FuzzOne(std::string_view input) {
  static World world;
  Check(WriteWholeFile(Env::Default(), world.archive, input).ok(), "cannot write the archive");
  HeadlessView view;
  RomRecord result;
  SetFence(world.tmp);
  if (IdentifyAndShow(&view, world.archive, &result)) {
    Check(result.name == "Sample Set (Rev 2.0).zip" && result.crc == kArchiveMark,
          "an archive identified as no set");
  }
  Check(Session().archive_mode, "an archive's path was not taken for an archive");
  const std::vector<std::string>& listed = Session().extracted_files;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(world.tmp)) {
    Check(entry.is_regular_file() && !entry.is_symlink() &&
              std::ranges::find(listed, entry.path().string()) != listed.end(),
          "tmp holds what the session does not list");
  }
  IdentifyAndShow(&view, world.plain, &result);
  Check(Session().extracted_files.empty() && fs::is_empty(world.tmp),
        "tmp not empty after the next identification");
  fs::create_directory(world.kept);
  SetFence(world.kept);
  ExtractAlone(world.archive, world.kept);
  SetFence("");
  fs::remove_all(world.kept);
  TakeLog();
}

}  // namespace cartidex::fuzz
