#include "actions/process_file.h"

#include "actions/rename_move.h"
#include "identify/identify_file.h"
#include "platform/dialog_view.h"

namespace cartidex {

void ProcessFile(const std::string& path, DialogView* view) {
  RomRecord result;
  if (IdentifyAndShow(view, path, &result)) {
    // A failed rename leaves the current path on the file, so the move still moves this file.
    if (view->IsChecked(kIdRename)) RenameCurrent(view);
    if (view->IsChecked(kIdMoveKnown)) MoveCurrent(view, kIdMoveKnownField, result);
  } else if (view->IsChecked(kIdMoveUnknown)) {
    // An unidentified file keeps its name.
    MoveCurrent(view, kIdMoveUnknownField, result);
  }
}

}  // namespace cartidex
