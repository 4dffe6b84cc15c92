// The program's folder: where its `datfiles`, `tmp` and `log.txt` live. It is the executable's
// folder unless a front-end names another (the headless front-end's --home).
#ifndef CARTIDEX_PLATFORM_PROGRAM_FOLDER_H_
#define CARTIDEX_PLATFORM_PROGRAM_FOLDER_H_

#include <string>

namespace cartidex {

// The folder, without a trailing separator (except for a root).
const std::string& ProgramFolder();
// Names the folder. An empty text goes back to the executable's folder.
void SetProgramFolder(const std::string& folder);

// ProgramFolder() + separator + "datfiles" + separator, and the same for "tmp".
std::string DatfilesFolder();
std::string TmpFolder();
// ProgramFolder() + separator + "log.txt".
std::string LogPath();

// True when the scratch folder `tmp` may be used: it is a folder of its own, not a link, a
// junction or a file (whatever those lead to is somebody else's), or it does not exist yet and
// will be made as one.
bool ScratchFolderIsOwn();

}  // namespace cartidex

#endif  // CARTIDEX_PLATFORM_PROGRAM_FOLDER_H_
