// What happens to one file: identification, then the rename and moves the options ask for.
#ifndef CARTIDEX_ACTIONS_PROCESS_FILE_H_
#define CARTIDEX_ACTIONS_PROCESS_FILE_H_

#include <string>

#include "actions/file_outcome.h"

namespace cartidex {

class DialogView;

// Identifies the file at `path`, applies the dialog's options to it (as a dry run when the
// settings say so), tells the settings' listener and returns what became of the file.
FileOutcome ProcessFile(const std::string& path, DialogView* view, const ActionSettings& settings);

}  // namespace cartidex

#endif  // CARTIDEX_ACTIONS_PROCESS_FILE_H_
