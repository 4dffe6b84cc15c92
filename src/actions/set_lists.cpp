#include "actions/set_lists.h"

#include <map>
#include <memory>
#include <set>
#include <string_view>
#include <vector>

#include "actions/dry_run.h"
#include "actions/folder_tree.h"
#include "platform/activity_log.h"
#include "platform/env.h"
#include "platform/failure_lines.h"
#include "platform/path.h"
#include "romdb/logiqx_writer.h"
#include "romdb/rom_database.h"

namespace cartidex {

namespace {

// One system's two lists, gathered over every run of its sets in the set table.
struct SystemLists {
  std::string system;
  std::string have;
  std::string miss;
  std::vector<uint32_t> missing;  // the set indices of `miss`, for the fixdat
};

std::string SystemOf(const RomDatabase& db, const SetRecord& set) {
  if (set.rom_indices.empty()) return kUnknown;
  const int32_t first = set.rom_indices[0];
  if (first < 0 || static_cast<uint32_t>(first) >= db.GetRomCount()) return kUnknown;
  return db.RomSystem(static_cast<uint32_t>(first));
}

// The display name cut at its last '.', the first byte never taken as that '.'.
std::string NameLine(std::string_view display) {
  size_t end = display.size();
  for (size_t i = display.size(); i > 1; --i) {
    if (display[i - 1] == '.') {
      end = i - 1;
      break;
    }
  }
  std::string line(display.substr(0, end));
  line += "\r\n";
  return line;
}

// The part of a list's file name that the system gives: nested systems ("A/B") stay in the one
// folder.
std::string FileStem(const std::string& system) {
  std::string stem = system;
  for (char& c : stem) {
    if (c == '/' || c == '\\') c = '_';
  }
  return SanitizeFileName(stem);
}

// The files written in one pass, by path and by identity (a file system that folds case gives
// one file to two texts).
struct Written {
  std::set<std::string> paths;
  std::set<FileId> ids;
};

// Writes one list file anew. An earlier file of this pass that the path also names (two systems
// whose file names meet) is never written over, even when its identity cannot be read. False
// when the file was not written.
bool WriteList(Env* env, const std::string& path, const std::string& contents, Written* written) {
  FileId id;
  if (env->GetFileId(path, &id).ok() && written->ids.count(id) != 0) return false;
  env->DeleteFile(path);
  std::unique_ptr<WritableFile> file;
  if (!env->OpenForWrite(path, WriteMode::kNew, &file).ok()) return false;
  Status s = file->Append(contents);
  Status c = file->Close();
  if (!s.ok() || !c.ok()) {
    // A cut list would read as the whole truth; better none.
    env->DeleteFile(path);
    return false;
  }
  written->paths.insert(path);
  if (env->GetFileId(path, &id).ok()) written->ids.insert(id);
  return true;
}

// The lists of every system, in the order of each system's first set; each gathers all of its
// sets.
std::vector<SystemLists> GatherLists(const RomDatabase& db) {
  std::vector<SystemLists> lists;
  std::map<std::string, size_t> index;
  for (uint32_t i = 0; i < db.GetSetCount(); ++i) {
    const SetRecord set = db.GetSet(i);
    std::string system = SystemOf(db, set);
    auto [it, added] = index.try_emplace(system, lists.size());
    if (added) {
      lists.push_back({system,
                       "Owning " + system + " sets:\r\n\r\n",
                       "Missing " + system + " sets:\r\n\r\n",
                       {}});
    }
    SystemLists& target = lists[it->second];
    (set.owned ? target.have : target.miss) += NameLine(set.display_name);
    if (!set.owned) target.missing.push_back(i);
  }
  return lists;
}

}  // namespace

void WriteSetLists(const std::string& folder_text, const ActionSettings& settings) {
  Env* env = Env::Default();
  const RomDatabase& db = Database();
  DryRun* dry = settings.dry_run;
  std::string folder = folder_text;
  EnsureTrailingSeparator(&folder);
  // Lists in the program's own folders would be deleted as scratch files or read as datafiles.
  bool refused = InProgramsOwnFolders(env, folder);
  if (!refused && dry != nullptr) {
    // A folder that cannot be made leaves every list unwritten, as in the real run.
    refused = !dry->CouldMakeFolders(env, folder);
  } else if (!refused) {
    MakeFolders(env, folder);
    refused = InProgramsOwnFolders(env, folder);
  }

  Written written;
  for (const SystemLists& l : GatherLists(db)) {
    const std::string stem = folder + FileStem(l.system);
    const std::string fixdat =
        settings.fixdat ? LogiqxDatText(db, l.system + " fixdat", l.missing) : std::string();
    std::vector<std::pair<std::string, const std::string*>> files = {{stem + "_have.txt", &l.have},
                                                                     {stem + "_miss.txt", &l.miss}};
    if (settings.fixdat) files.emplace_back(stem + "_miss.dat", &fixdat);
    for (const auto& [path, contents] : files) {
      bool ok = !refused && PathFits(path) && written.paths.count(path) == 0;
      if (ok && dry != nullptr) {
        ok = env->GetKind(path) != FileKind::kFolder;
        if (ok) written.paths.insert(path);
      } else if (ok) {
        ok = WriteList(env, path, *contents, &written);
      }
      if (!ok) {
        LogFailure(FailureLine::kListNotWritten, path);
      } else if (dry != nullptr) {
        WriteLog("Would write: " + path + "\r\n");
      }
    }
  }
}

}  // namespace cartidex
