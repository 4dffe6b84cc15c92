// MainDialog: the logic of the main window, shared by every front-end. It turns a button press
// into one piece of work and then refreshes the information line and the enabled states.
#ifndef CARTIDEX_APP_MAIN_DIALOG_H_
#define CARTIDEX_APP_MAIN_DIALOG_H_

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "actions/dry_run.h"
#include "actions/file_outcome.h"

namespace cartidex {

class DialogView;

class MainDialog {
 public:
  explicit MainDialog(DialogView* view) : view_(view) {}

  // The dialog is about to be shown: the refresh only.
  void Init();

  // A WM_COMMAND from control `id`: the command's work, then the refresh. A command pressed while
  // another runs (from inside a chooser or during a walk's repaint) starts nothing: returns false.
  bool Command(int id);

  // The user closes the window. With no command running, deletes the files still extracted from
  // the last archive and returns true: the window may close. During a command, remembers the
  // request (the work stops after the current file) and returns false; the front-end closes
  // once the command has ended and close_requested() is true.
  bool Close();

  bool busy() const { return busy_; }
  bool close_requested() const { return close_requested_; }

  // The information line and the enabled states of the target folder controls.
  void RefreshControls();

  // What the headless front-end adds to the dialog's options (the window leaves them as they
  // start). A dry run remembers its announced steps from the command that starts it until it is
  // turned off; turned on again, it starts from the tree on disk.
  void SetDryRun(bool on);
  void SetFixdat(bool on) { settings_.fixdat = on; }
  void SetListener(FileListener* listener) { settings_.listener = listener; }
  void SetOwnFiles(std::vector<std::string> files) { settings_.own_files = std::move(files); }

  // The counts of the last "Directory" walk.
  const WalkTally& last_walk() const { return last_walk_; }

 private:
  void RunWork(int id);

  DialogView* view_;
  ActionSettings settings_;
  std::unique_ptr<DryRun> dry_run_;
  WalkTally last_walk_;
  bool busy_ = false;
  bool close_requested_ = false;
};

}  // namespace cartidex

#endif  // CARTIDEX_APP_MAIN_DIALOG_H_
