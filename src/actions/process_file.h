// What happens to one file: identification, then the rename and moves the options ask for.
#ifndef CARTIDEX_ACTIONS_PROCESS_FILE_H_
#define CARTIDEX_ACTIONS_PROCESS_FILE_H_

#include <string>

namespace cartidex {

class DialogView;

// Identifies the file at `path` and applies the dialog's options to it.
void ProcessFile(const std::string& path, DialogView* view);

}  // namespace cartidex

#endif  // CARTIDEX_ACTIONS_PROCESS_FILE_H_
