// Folders made with all their missing parents, the test of two paths naming one file, and where a
// path really lies once every link on the way is followed.
#ifndef CARTIDEX_ACTIONS_FOLDER_TREE_H_
#define CARTIDEX_ACTIONS_FOLDER_TREE_H_

#include <string>
#include <vector>

#include "platform/env.h"

namespace cartidex {

// The folders MakeFolders would make when missing, from the top down: every prefix of `folder`
// that ends just before a separator, then the whole text (doubled separators and, on Windows, a
// drive itself left out).
std::vector<std::string> FolderPrefixes(const std::string& folder);

// Makes `folder` and every missing folder above it. True when the folder exists afterwards.
bool MakeFolders(Env* env, const std::string& folder);

// True when both paths name one existing file (same device and inode, or file ID): the same
// file, not just the same text.
bool SameFile(Env* env, const std::string& a, const std::string& b);

// An existing folder as its real path (every link resolved) and its identity.
struct FolderPlace {
  std::string real;
  FileId id;
};

// Reads the place of `folder`; false when it cannot be examined.
bool GetFolderPlace(Env* env, const std::string& folder, FolderPlace* place);

// True when `path` is the folder `place` or lies inside it, links followed. A path that does not
// exist (yet) is judged by where it would lead once made: the deepest part of it that exists,
// then the rest of the text, its "." and ".." taken as written.
bool LiesWithin(Env* env, const std::string& path, const FolderPlace& place);

// True when the folder text `folder` names the program's `tmp` or `datfiles` folder, or a folder
// inside one of them, whichever text or link leads there. What is put there would be deleted
// with the scratch files or read as a datafile.
bool InProgramsOwnFolders(Env* env, const std::string& folder);

}  // namespace cartidex

#endif  // CARTIDEX_ACTIONS_FOLDER_TREE_H_
