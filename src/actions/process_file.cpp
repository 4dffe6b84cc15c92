#include "actions/process_file.h"

#include "actions/rename_move.h"
#include "identify/identify_file.h"
#include "identify/session_state.h"
#include "platform/dialog_view.h"
#include "platform/failure_lines.h"
#include "platform/path.h"

namespace cartidex {

namespace {

using Result = FileOutcome::Result;

// The identification's part of the outcome, as the fields show it.
void ReadFields(DialogView* view, bool identified, FileOutcome* outcome) {
  outcome->name = view->GetText(kIdNameField);
  outcome->system = view->GetText(kIdSystemField);
  outcome->crc32 = view->GetText(kIdCrcField);
  outcome->size = view->GetText(kIdSizeField);
  if (identified) {
    outcome->result = Result::kIdentified;
  } else {
    // Only an identification that failed shows "Error" where a name would be.
    outcome->result = outcome->name == "Error" ? Result::kError : Result::kUnknown;
  }
}

}  // namespace

FileOutcome ProcessFile(const std::string& path, DialogView* view, const ActionSettings& settings) {
  FailureWatch failures;
  FileOutcome outcome;
  outcome.path = path;
  RomRecord result;
  const bool identified = IdentifyAndShow(view, path, &result);
  ReadFields(view, identified, &outcome);
  if (identified) {
    // A failed rename leaves the current path on the file, so the move still moves this file.
    if (view->IsChecked(kIdRename)) RenameCurrent(view, settings.dry_run);
    if (view->IsChecked(kIdMoveKnown)) {
      MoveCurrent(view, kIdMoveKnownField, result, settings.dry_run);
    }
  } else if (view->IsChecked(kIdMoveUnknown)) {
    // An unidentified file, one that could not be read included, keeps its name.
    MoveCurrent(view, kIdMoveUnknownField, result, settings.dry_run);
  }

  const std::string& now = Session().current_path;
  if (now != path) {
    outcome.new_path = now;
    outcome.renamed = BaseName(now) != BaseName(path);
    outcome.moved = FolderOf(now) != FolderOf(path);
  }
  outcome.failures = failures.lines();
  if (outcome.failures.ends_with("\r\n")) outcome.failures.resize(outcome.failures.size() - 2);
  if (settings.listener != nullptr) settings.listener->FileHandled(outcome);
  return outcome;
}

}  // namespace cartidex
