// Arbitrary bytes as a ".zip" archive, identified as the dialog identifies one, against a small
// datafile whose sets the seed archives hold; then extracted with its folders kept. Besides the
// sanitizers' findings and a hang, it fails when identification writes anywhere but `tmp`, when
// a file lands in `tmp` that the session does not list (or in a folder of it), when a file is
// larger than its member declares, when `tmp` is not empty after the next identification, when
// a result names no set, or when an extraction with folders kept writes outside its folder.
#include <unzip.h>
#include <zlib.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "app/headless_view.h"
#include "fuzz_sandbox.h"
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

std::string Hex(uint32_t v) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out(8, '0');
  for (int i = 7; i >= 0; --i, v >>= 4) out[static_cast<size_t>(i)] = kDigits[v & 15];
  return out;
}

// One datafile line for a set of the given member contents.
std::string SetLine(std::string_view name, std::initializer_list<std::string_view> contents) {
  std::string names(name), sizes, crcs;
  int i = 0;
  for (std::string_view c : contents) {
    names += ":r" + std::to_string(i++) + ".bin";
    sizes += ":" + std::to_string(c.size());
    crcs += ":" + Hex(static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(c.data()),
                                                  static_cast<uInt>(c.size()))));
  }
  return names + ";" + sizes + ";" + crcs + "\r\n";
}

// The database, `tmp` and a plain file for the next identification, made once.
struct World {
  World() {
    std::string deflated;
    for (int i = 0; i < 200; ++i) deflated += "deflated ";
    // The contents of the seed archives of fuzz/make_corpus.cpp.
    const std::string datafile =
        "#console#;Fuzz\r\n" + SetLine("Stored.zip", {"stored contents"}) +
        SetLine("Deflated.zip", {deflated}) +
        SetLine("Folder.zip", {"in a folder", "backslash folder"}) +
        SetLine("Pair.zip", {"one", "two"}) + SetLine("Climb.zip", {"out", "absolute"}) +
        SetLine("X.zip", {"x"}) + SetLine("M.zip", {"m"}) + SetLine("MM.zip", {"m", "m"});
    Database().Clear();
    ParseOwnDatafile(datafile, &Database());
    Check(Database().GetSetCount() == 8, "the datafile did not load");
    tmp = TmpFolder();
    fs::create_directories(tmp);
    plain = fuzz::SandboxPath() + "/next.bin";
    archive = fuzz::SandboxPath() + "/in.zip";
    kept = fuzz::SandboxPath() + "/kept";
    Check(WriteWholeFile(Env::Default(), plain, "next").ok(), "cannot write next.bin");
    ResetSession();
  }
  std::string tmp, plain, archive, kept;
};

// The declared sizes of the members, by the file name that each lands as (the largest for
// names that occur twice).
struct Declared {
  std::map<std::string, uint64_t> by_name;
};

Declared ReadDeclared(const std::string& archive) {
  Declared d;
  unzFile zip = unzOpen64(archive.c_str());
  if (zip == nullptr) return d;
  for (int status = unzGoToFirstFile(zip); status == UNZ_OK; status = unzGoToNextFile(zip)) {
    unz_file_info64 info;
    if (unzGetCurrentFileInfo64(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) break;
    std::vector<char> name(info.size_filename + 1, '\0');
    if (unzGetCurrentFileInfo64(zip, &info, name.data(), name.size(), nullptr, 0, nullptr, 0) !=
        UNZ_OK) {
      break;
    }
    std::string_view whole(name.data(), info.size_filename);
    size_t cut = whole.size();
    while (cut > 0 && !IsZipSeparator(whole[cut - 1])) --cut;
    uint64_t& size = d.by_name[SanitizeFileName(whole.substr(cut))];
    size = std::max<uint64_t>(size, info.uncompressed_size);
  }
  unzClose(zip);
  return d;
}

void CheckSize(const fs::path& file, const Declared& declared) {
  std::error_code ec;
  const uint64_t size = fs::file_size(file, ec);
  Check(!ec, "an extracted file cannot be measured");
  auto it = declared.by_name.find(file.filename().string());
  Check(it != declared.by_name.end(), "an extracted file that no member names");
  Check(size <= it->second, "a file larger than its member declares");
}

bool IsSetName(std::string_view name) {
  const RomDatabase& db = Database();
  for (uint32_t s = 0; s < db.GetSetCount(); ++s) {
    if (db.GetSet(s).display_name == name) return true;
  }
  return false;
}

void CheckIdentification(const World& w, const Declared& declared, bool identified,
                         const RomRecord& result) {
  const SessionState& session = Session();
  Check(session.archive_mode, "a \".zip\" path was not taken for an archive");
  std::set<std::string> listed;
  for (const std::string& file : session.extracted_files) {
    Check(file.starts_with(w.tmp) && file.size() > w.tmp.size() &&
              file.find(kSeparator, w.tmp.size()) == std::string::npos,
          "a listed file outside tmp");
    listed.insert(file);
  }
  for (const fs::directory_entry& entry : fs::directory_iterator(w.tmp)) {
    Check(entry.is_regular_file() && !entry.is_symlink(), "tmp holds something but a file");
    Check(listed.count(entry.path().string()) != 0, "a file in tmp that the session misses");
    CheckSize(entry.path(), declared);
  }
  if (identified) {
    Check(IsSetName(result.name), "an archive identified as no set");
    Check(result.crc == kArchiveMark && result.size == kArchiveMark, "no archive mark");
  }
}

// Everything extracted with folders kept lies in `folder`, as files no larger than declared.
void CheckKept(const std::string& folder, const Declared& declared) {
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
    Check(!entry.is_symlink(), "extraction made a link");
    if (entry.is_directory()) continue;
    Check(entry.is_regular_file(), "extraction made something but files and folders");
    CheckSize(entry.path(), declared);
  }
}

}  // namespace
}  // namespace cartidex

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace cartidex;
  fuzz::EnterSandbox();
  static World world;
  fuzz::TakeLog();
  fuzz::Check(WriteWholeFile(Env::Default(), world.archive,
                             std::string_view(reinterpret_cast<const char*>(data), size))
                  .ok(),
              "cannot write in.zip");
  const Declared declared = ReadDeclared(world.archive);

  HeadlessView view;
  RomRecord result;
  {
    fuzz::WriteFence fence(world.tmp);
    const bool identified = IdentifyAndShow(&view, world.archive, &result);
    CheckIdentification(world, declared, identified, result);
    // The next identification takes away everything the archive left.
    IdentifyAndShow(&view, world.plain, &result);
  }
  fuzz::Check(Session().extracted_files.empty(), "a plain file left extracted files listed");
  fuzz::Check(std::filesystem::is_empty(world.tmp), "tmp not empty after the next identification");

  // With folders kept, nothing may land outside the folder given.
  std::filesystem::remove_all(world.kept);
  std::filesystem::create_directory(world.kept);
  {
    fuzz::WriteFence fence(world.kept);
    ZipExtractor zip(world.archive.c_str());
    zip.ExtractAllTo(world.kept.c_str(), /*ignore_paths=*/false);
  }
  CheckKept(world.kept, declared);
  std::filesystem::remove_all(world.kept);
  fuzz::TakeLog();
  return 0;
}
