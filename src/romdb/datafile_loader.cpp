#include "romdb/datafile_loader.h"

#include <thread>
#include <vector>

#include "platform/activity_log.h"
#include "platform/env.h"
#include "platform/path.h"
#include "platform/program_folder.h"
#include "romdb/batch_pipeline.h"
#include "romdb/dat_file.h"
#include "romdb/dat_format.h"
#include "romdb/own_line_reader.h"
#include "romdb/parse_hex.h"
#include "romdb/rom_database.h"
#include "romdb/set_builder.h"

namespace cartidex {

namespace {

// Datafiles from this size on are read on a second core while the first adds to the database.
constexpr size_t kTwoCoreSize = 512 * 1024;

// True for a name ending in ".cxi", in any letter case, as the listing takes them.
bool IsOwnDatafileName(std::string_view name) {
  if (name.size() < 4) return false;
  std::string_view ext = name.substr(name.size() - 4);
  return ext[0] == '.' && (ext[1] | 0x20) == 'c' && (ext[2] | 0x20) == 'x' &&
         (ext[3] | 0x20) == 'i';
}

}  // namespace

void ParseOwnDatafile(std::string_view contents, RomDatabase* db, LoadCores cores) {
  OwnLineReader reader(contents);
  std::string_view system = kUnknown;
  uint32_t system_id = kNoIndex;  // learnt by the database with the first set that has ROMs
  std::vector<ParsedRom> roms;
  // The reader checked the set's texts; the room left in the tables is checked here.
  auto add_set = [&](const OwnLine& line, std::span<const OwnRomFields> fields) -> const char* {
    if (const char* reason = CheckRoom(*db, fields.size())) return reason;
    roms.clear();
    for (const OwnRomFields& rom : fields) {
      roms.push_back({rom.name, ReadSizeField(rom.size, contents), ParseHex(rom.crc)});
    }
    if (!roms.empty() && system_id == kNoIndex) system_id = db->InternSystem(system);
    db->AddCheckedRomsAndSet(line.text, kSetSuffix, roms, system_id);
    return nullptr;
  };
  BatchThreads threads = cores == LoadCores::kTwo ? BatchThreads::kTwo : BatchThreads::kOne;
  if (cores == LoadCores::kAsFits && contents.size() >= kTwoCoreSize &&
      std::thread::hardware_concurrency() > 1) {
    threads = BatchThreads::kTwoWhenNear;
  }
  RunBatches<OwnBatch>(
      threads, [&reader](OwnBatch* batch) { return reader.Next(batch); },
      [&](const OwnBatch& batch) {
        for (const OwnLine& line : batch.lines) {
          const char* reason = line.reason;
          if (line.kind == OwnLine::Kind::kSystem) {
            system = line.text;
            system_id = kNoIndex;
          } else if (line.kind == OwnLine::Kind::kSet) {
            reason = add_set(
                line,
                std::span<const OwnRomFields>(batch.roms).subspan(line.first_rom, line.rom_count));
          }
          if (reason != nullptr) LogSkippedLine(line.number, reason);
        }
      });
}

void LoadDatafile(const std::string& name) {
  WriteLog(" - " + name + "\r\n");
  std::string path = DatfilesFolder() + name;
  if (!PathFits(path)) {
    WriteLog(" ! Path too long\r\n");
    return;
  }
  FileBytes contents;
  if (!ReadWholeFile(Env::Default(), path, &contents).ok()) return;
  if (IsOwnDatafileName(name)) {
    ParseOwnDatafile(contents.text(), &Database());
    return;
  }
  DatFile dat;
  if (!ReadDat(contents.bytes(), &dat)) {
    WriteLog(" ! Not a datafile\r\n");
    return;
  }
  AddDatFile(dat, &Database());
}

void LoadDatafiles() {
  Database().Clear();
  Env* env = Env::Default();
  const std::string folder = DatfilesFolder();
  env->CreateFolder(folder);
  WriteLog("Loading datafiles :\r\n");
  // The own files first, so that their entries keep the places they had before DATs were read.
  for (const char* pattern : {"*.cxi", "*.dat", "*.xml"}) {
    std::vector<DirEntry> entries;
    env->ListFolder(folder, pattern, &entries);
    for (const DirEntry& entry : entries) {
      if (entry.name[0] == '.') continue;
      LoadDatafile(entry.name);
    }
  }
}

}  // namespace cartidex
