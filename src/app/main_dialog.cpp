#include "app/main_dialog.h"

#include <optional>
#include <string>

#include "actions/process_file.h"
#include "actions/process_folder.h"
#include "actions/set_lists.h"
#include "app/help_text.h"
#include "identify/number_text.h"
#include "identify/session_state.h"
#include "platform/dialog_view.h"
#include "platform/env.h"
#include "romdb/datafile_loader.h"
#include "romdb/rom_database.h"

namespace cartidex {

void MainDialog::Init() {
  RefreshControls();
}

bool MainDialog::Command(int id) {
  if (busy_) return false;
  busy_ = true;
  RunWork(id);
  busy_ = false;
  RefreshControls();
  return true;
}

void MainDialog::RunWork(int id) {
  switch (id) {
    case kIdSingleRom:
      if (std::optional<std::string> path = view_->ChooseFile()) {
        ProcessFile(*path, view_, settings_);
      }
      break;
    case kIdDirectory:
      if (std::optional<std::string> folder = view_->ChooseFolder()) {
        last_walk_ = ProcessFolder(view_, *folder, settings_);
      }
      break;
    case kIdReloadAll:
      LoadDatafiles();
      break;
    case kIdMoveKnownBrowse:
      if (std::optional<std::string> folder = view_->ChooseFolder()) {
        view_->SetText(kIdMoveKnownField, *folder);
      }
      break;
    case kIdMoveUnknownBrowse:
      if (std::optional<std::string> folder = view_->ChooseFolder()) {
        view_->SetText(kIdMoveUnknownField, *folder);
      }
      break;
    case kIdHelp:
      view_->ShowMessage(kHelpText, kHelpCaption);
      break;
    case kIdGenerate:
      if (std::optional<std::string> folder = view_->ChooseFolder()) {
        WriteSetLists(*folder, settings_);
      }
      break;
    default:
      // Check boxes, edit notifications, Enter on no button and Esc: the refresh only.
      break;
  }
}

void MainDialog::SetDryRun(bool on) {
  if (on && !dry_run_) dry_run_ = std::make_unique<DryRun>();
  if (!on) dry_run_.reset();
  settings_.dry_run = dry_run_.get();
}

bool MainDialog::Close() {
  if (busy_) {
    close_requested_ = true;
    return false;
  }
  SessionState& session = Session();
  if (session.archive_mode) {
    Env* env = Env::Default();
    for (const std::string& file : session.extracted_files) env->DeleteFile(file);
    session.extracted_files.clear();
  }
  return true;
}

void MainDialog::RefreshControls() {
  uint32_t sets = Database().GetSetCount();
  view_->SetText(kIdInfoLine,
                 (sets > 0 ? FormatDecimal(sets) : std::string("No")) + " roms in database");
  bool known = view_->IsChecked(kIdMoveKnown);
  view_->Enable(kIdMoveKnownField, known);
  view_->Enable(kIdMoveKnownBrowse, known);
  bool unknown = view_->IsChecked(kIdMoveUnknown);
  view_->Enable(kIdMoveUnknownField, unknown);
  view_->Enable(kIdMoveUnknownBrowse, unknown);
}

}  // namespace cartidex
