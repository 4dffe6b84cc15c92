#include "actions/rename_move.h"

#include <optional>
#include <string>
#include <string_view>

#include "actions/dry_run.h"
#include "actions/expand_pattern.h"
#include "actions/folder_tree.h"
#include "identify/identify_archive.h"
#include "identify/session_state.h"
#include "platform/activity_log.h"
#include "platform/dialog_view.h"
#include "platform/env.h"
#include "platform/failure_lines.h"
#include "platform/path.h"

namespace cartidex {

namespace {

void LogLine(std::string_view head, const std::string& from, const std::string& to) {
  std::string line(head);
  line += from;
  line += " To: ";
  line += to;
  line += "\r\n";
  WriteLog(line);
}

// A change of letter case where the file system folds case: the target already names the file
// itself, so the rename goes through a free temporary name in the same folder.
bool RenameCaseOnly(Env* env, const std::string& from, const std::string& to) {
  const std::string folder(FolderOf(from));
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string temp = folder + ".cartidex-case-" + std::to_string(attempt);
    if (!PathFits(temp) || env->GetKind(temp) != FileKind::kMissing) continue;
    if (!env->MoveFile(from, temp).ok()) return false;
    if (env->MoveFile(temp, to).ok()) return true;
    // Put it back under its old name; MoveFile never replaces, so nothing else is touched.
    env->MoveFile(temp, from);
    return false;
  }
  return false;
}

// The name a rename gives, or nothing when the database's name cannot be a file name here. An
// archive's name takes `archive_extension` (empty for any other file).
bool NewName(const std::string& field_text, std::string_view archive_extension, std::string* name) {
  *name = field_text;
  if (!IsValidFileName(*name)) return false;
  if (!archive_extension.empty()) {
    // Only the name's own extension is replaced, never a dot in a folder name.
    size_t dot = name->rfind('.');
    if (dot != std::string::npos) name->resize(dot);
    *name += archive_extension;
  }
  return IsValidFileName(*name);
}

// A dry run's answer to whether the file at `old_path` could take the path `new_path`: the path is
// free, or it names the file itself, once the announced steps are counted in.
bool WouldMove(Env* env, const DryRun& dry, const std::string& old_path,
               const std::string& new_path) {
  const std::optional<std::string> occupant = dry.Occupant(env, new_path);
  if (!occupant) return true;
  const std::optional<std::string> file = dry.Occupant(env, old_path);
  return file && SameFile(env, *file, *occupant);
}

}  // namespace

bool RenameCurrent(DialogView* view, DryRun* dry) {
  Env* env = Env::Default();
  SessionState& session = Session();
  const std::string old_path = session.current_path;
  std::string name;
  const bool valid =
      NewName(view->GetText(kIdNameField),
              session.archive_mode ? ArchiveExtension(old_path) : std::string_view(), &name);
  const std::string new_path =
      std::string(FolderOf(old_path)) + (valid ? name : view->GetText(kIdNameField));

  bool ok = false;
  if (valid && PathFits(new_path)) {
    if (dry != nullptr) {
      ok = WouldMove(env, *dry, old_path, new_path);
    } else if (SameFile(env, old_path, new_path)) {
      // Onto the file itself: nothing to do, unless only the letter case changes.
      ok = new_path == old_path || !EqualIgnoringAsciiCase(old_path, new_path) ||
           RenameCaseOnly(env, old_path, new_path);
    } else {
      ok = env->MoveFile(old_path, new_path).ok();
    }
  }
  if (!ok) {
    LogFailure(FailureLine::kRenameFailed, old_path, new_path);
    return false;
  }
  if (dry != nullptr) dry->Move(env, old_path, new_path);
  LogLine(dry != nullptr ? "Would rename: " : "Renamed: ", old_path, new_path);
  session.current_path = new_path;
  view->SetText(kIdFilenameField, name);
  return true;
}

bool MoveCurrent(DialogView* view, int field_id, const RomRecord& result, DryRun* dry) {
  Env* env = Env::Default();
  SessionState& session = Session();
  const std::string old_path = session.current_path;
  const std::string name(BaseName(old_path));
  const std::string text = view->GetText(field_id);

  std::string folder = text;
  ExpandPattern(&folder, name, result.system);
  EnsureTrailingSeparator(&folder);
  const std::string new_path = folder + name;

  // An empty text is no folder at all (it would otherwise name the root of the drive). The
  // program's own folders are looked for before any folder is made, and again after, when the
  // new parts of the text (a "..") lead where they lead.
  bool ok =
      !text.empty() && !name.empty() && PathFits(new_path) && !InProgramsOwnFolders(env, folder);
  if (ok && dry != nullptr) {
    ok = dry->CouldMakeFolders(env, folder) && WouldMove(env, *dry, old_path, new_path);
  } else if (ok) {
    ok = MakeFolders(env, folder) && !InProgramsOwnFolders(env, folder);
    if (ok && !SameFile(env, old_path, new_path)) ok = env->MoveFile(old_path, new_path).ok();
  }
  if (!ok) {
    LogFailure(FailureLine::kMoveFailed, old_path, new_path);
    return false;
  }
  if (dry != nullptr) dry->Move(env, old_path, new_path);
  LogLine(dry != nullptr ? " Would move: " : " Moved: ", old_path, new_path);
  session.current_path = new_path;
  return true;
}

}  // namespace cartidex
