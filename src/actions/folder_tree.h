// Folders made with all their missing parents, and the test of two paths naming one file.
#ifndef CARTIDEX_ACTIONS_FOLDER_TREE_H_
#define CARTIDEX_ACTIONS_FOLDER_TREE_H_

#include <string>

namespace cartidex {

class Env;

// Makes `folder` and every missing folder above it. True when the folder exists afterwards.
bool MakeFolders(Env* env, const std::string& folder);

// True when both paths name one existing file (same device and inode, or file ID): the same
// file, not just the same text.
bool SameFile(Env* env, const std::string& a, const std::string& b);

}  // namespace cartidex

#endif  // CARTIDEX_ACTIONS_FOLDER_TREE_H_
