#include "actions/process_folder.h"

#include <set>
#include <vector>

#include "actions/folder_tree.h"
#include "actions/process_file.h"
#include "identify/number_text.h"
#include "platform/dialog_view.h"
#include "platform/env.h"
#include "platform/failure_lines.h"
#include "platform/path.h"
#include "platform/program_folder.h"

namespace cartidex {

namespace {

struct Walk {
  DialogView* view = nullptr;
  const ActionSettings* settings = nullptr;
  Env* env = nullptr;
  // Folders entered in this walk: a link loop ends at the second visit.
  std::set<FileId> entered;
  // Files handled in this walk: a file moved into a folder that the walk reaches later is not
  // handled twice.
  std::set<FileId> handled;
  // The program's own folders, which the walk never enters (moving them would lose the
  // database or the archive members being identified).
  std::vector<FileId> own_folders;
  // The files the program writes meanwhile (a report): never handled.
  std::vector<FileId> own_files;
  // The log's id when the walk began (when it existed): see IsWalkLog.
  FileId log_id;
  bool log_id_known = false;
  std::string log_name;
  WalkTally tally;
  bool stopped = false;
  // The folder the user chose: a link to a folder is followed only when the folder it leads to
  // lies in this one, so that the walk never reaches beyond it.
  FolderPlace root;
};

bool IdOf(Env* env, const std::string& path, FileId* id) {
  return env->GetFileId(path, id).ok();
}

void ShowSeveral(DialogView* view) {
  for (int id : {kIdFilenameField, kIdNameField, kIdCrcField, kIdSizeField}) {
    view->SetText(id, "Several");
  }
}

// True when `id` is the program's activity log. The log may come into being during the walk, so
// it is looked up each time.
bool IsOwnLog(Env* env, const FileId& id) {
  FileId log;
  return IdOf(env, LogPath(), &log) && log == id;
}

// IsOwnLog for an entry of the walk, without looking the log up for every file: only an entry
// that is the log as it was when the walk began, or that bears the log's name (the log may come
// into being, or be made anew, during the walk), can be the log.
bool IsWalkLog(const Walk& walk, const std::string& name, const FileId& id) {
  if (!(walk.log_id_known && id == walk.log_id) && !EqualIgnoringAsciiCase(name, walk.log_name)) {
    return false;
  }
  return IsOwnLog(walk.env, id);
}

// The identities of those of `paths` that exist.
std::vector<FileId> IdsOf(Env* env, const std::vector<std::string>& paths) {
  std::vector<FileId> ids;
  for (const std::string& path : paths) {
    FileId id;
    if (IdOf(env, path, &id)) ids.push_back(id);
  }
  return ids;
}

bool IsAmong(const std::vector<FileId>& ids, const FileId& id) {
  for (const FileId& own : ids) {
    if (own == id) return true;
  }
  return false;
}

void Count(const FileOutcome& outcome, WalkTally* tally) {
  ++tally->files;
  switch (outcome.result) {
    case FileOutcome::Result::kIdentified:
      ++tally->identified;
      break;
    case FileOutcome::Result::kUnknown:
      ++tally->unknown;
      break;
    case FileOutcome::Result::kError:
      ++tally->errors;
      break;
  }
  tally->renamed += outcome.renamed ? 1 : 0;
  tally->moved += outcome.moved ? 1 : 0;
}

void WalkFolder(Walk* walk, std::string folder) {
  EnsureTrailingSeparator(&folder);
  // The whole listing comes first, so that what the walk renames or moves is not met again here.
  std::vector<DirEntry> entries;
  if (!walk->env->ListFolder(folder, "*.*", &entries).ok()) {
    LogFailure(FailureLine::kCannotList, folder);
    ShowSeveral(walk->view);
    return;
  }
  for (const DirEntry& entry : entries) {
    if (walk->stopped) break;
    if (entry.name.empty() || entry.name[0] == '.') continue;
    const std::string path = folder + entry.name;
    FileId id;
    const bool known = IdOf(walk->env, path, &id);
    if (entry.is_folder) {
      if (!walk->view->IsChecked(kIdSubdirs)) continue;
      if (!known) {
        // Without its identity a link loop could not be told from a new folder: it is not
        // entered, and the log says so.
        LogFailure(FailureLine::kCannotList, path + kSeparator);
        continue;
      }
      if (IsAmong(walk->own_folders, id)) continue;
      if (entry.is_link && !LiesWithin(walk->env, path, walk->root)) continue;
      if (!walk->entered.insert(id).second) continue;
      WalkFolder(walk, path);
      continue;
    }
    if (known && (walk->handled.count(id) != 0 || IsAmong(walk->own_files, id) ||
                  IsWalkLog(*walk, entry.name, id))) {
      continue;
    }
    Count(ProcessFile(path, walk->view, *walk->settings), &walk->tally);
    if (known) walk->handled.insert(id);
    walk->view->SetText(kIdInfoLine, FormatDecimal(walk->tally.files) + " files handled");
    if (!walk->view->KeepAlive()) walk->stopped = true;
  }
  ShowSeveral(walk->view);
}

}  // namespace

WalkTally ProcessFolder(DialogView* view, const std::string& folder,
                        const ActionSettings& settings) {
  FailureWatch failures(/*keep_lines=*/false);
  Walk walk;
  walk.view = view;
  walk.settings = &settings;
  walk.env = Env::Default();
  GetFolderPlace(walk.env, folder, &walk.root);
  const std::string log_path = LogPath();
  walk.log_id_known = IdOf(walk.env, log_path, &walk.log_id);
  walk.log_name = std::string(BaseName(log_path));
  walk.own_folders = IdsOf(walk.env, {TmpFolder(), DatfilesFolder()});
  walk.own_files = IdsOf(walk.env, settings.own_files);
  FileId root;
  if (IdOf(walk.env, folder, &root)) {
    if (IsAmong(walk.own_folders, root)) {
      ShowSeveral(view);
      return walk.tally;
    }
    walk.entered.insert(root);
  }
  WalkFolder(&walk, folder);
  walk.tally.failures = failures.count();
  return walk.tally;
}

}  // namespace cartidex
