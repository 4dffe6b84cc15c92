// Placeholder until the folder walk lands.
#include "actions/process_folder.h"

#include "platform/dialog_view.h"

namespace cartidex {

void ProcessFolder(DialogView* view, const std::string& /*folder*/) {
  for (int id : {kIdFilenameField, kIdNameField, kIdCrcField, kIdSizeField}) {
    view->SetText(id, "Several");
  }
}

}  // namespace cartidex
