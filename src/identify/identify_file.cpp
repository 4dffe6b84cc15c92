// Placeholder until identification lands: every file reads as an error.
#include "identify/identify_file.h"

#include "identify/session_state.h"
#include "platform/dialog_view.h"

namespace cartidex {

bool IdentifyFile(const std::string& path, RomRecord* result) {
  Session().current_path = path;
  *result = RomRecord();
  return false;
}

bool IdentifyAndShow(DialogView* view, const std::string& path, RomRecord* result) {
  IdentifyFile(path, result);
  for (int id : {kIdFilenameField, kIdNameField, kIdSystemField, kIdCrcField, kIdSizeField}) {
    view->SetText(id, "Error");
  }
  return false;
}

}  // namespace cartidex
