#include "actions/folder_tree.h"

#include "platform/env.h"
#include "platform/path.h"

namespace cartidex {

bool MakeFolders(Env* env, const std::string& folder) {
  if (folder.empty()) return false;
  // Every prefix that ends just before a separator, then the whole text, from the top down.
  for (size_t i = 1; i <= folder.size(); ++i) {
    if (i < folder.size() && !IsSeparator(folder[i])) continue;
    std::string prefix = folder.substr(0, i);
    if (IsSeparator(prefix.back())) continue;  // a doubled separator
#ifdef _WIN32
    if (prefix.size() == 2 && prefix[1] == ':') continue;  // the drive itself
#endif
    if (env->GetKind(prefix) == FileKind::kFolder) continue;
    Status s = env->CreateFolder(prefix);
    // Somebody else may have made it meanwhile; what counts is that it is a folder now.
    if (!s.ok() && env->GetKind(prefix) != FileKind::kFolder) return false;
  }
  return true;
}

bool SameFile(Env* env, const std::string& a, const std::string& b) {
  FileId x, y;
  return env->GetFileId(a, &x).ok() && env->GetFileId(b, &y).ok() && x == y;
}

}  // namespace cartidex
