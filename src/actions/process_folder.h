// The folder walk of "Directory".
#ifndef CARTIDEX_ACTIONS_PROCESS_FOLDER_H_
#define CARTIDEX_ACTIONS_PROCESS_FOLDER_H_

#include <string>

#include "actions/file_outcome.h"

namespace cartidex {

class DialogView;

// Applies ProcessFile to every file of `folder` (and of its sub-folders when "Include
// subdirectories" is checked), then shows "Several" in the result fields. The walk stays inside
// `folder`: a link to a folder is entered only when the folder it leads to lies inside `folder`,
// and no folder is entered twice. A link to a file is read as that file, and renamed or moved as
// the link it is. The files of `settings.own_files` are passed over. Returns the walk's counts.
WalkTally ProcessFolder(DialogView* view, const std::string& folder,
                        const ActionSettings& settings);

}  // namespace cartidex

#endif  // CARTIDEX_ACTIONS_PROCESS_FOLDER_H_
