#include "actions/dry_run.h"

#include "actions/folder_tree.h"

namespace cartidex {

std::optional<std::string> DryRun::Occupant(Env* env, const std::string& path) const {
  auto it = changed_.find(path);
  if (it != changed_.end()) {
    if (it->second.empty()) return std::nullopt;
    return it->second;
  }
  if (env->GetKind(path) == FileKind::kMissing) return std::nullopt;
  return path;
}

bool DryRun::CouldMakeFolders(Env* env, const std::string& folder) const {
  // Once one folder would be made, those below it would be new too: only a file moved there
  // can stand in their way.
  bool made = false;
  for (const std::string& prefix : FolderPrefixes(folder)) {
    auto it = changed_.find(prefix);
    if (it != changed_.end()) {
      if (!it->second.empty()) return false;
      made = true;
      continue;
    }
    if (made) continue;
    const FileKind kind = env->GetKind(prefix);
    if (kind == FileKind::kFile) return false;
    if (kind == FileKind::kMissing) {
      // A link that leads nowhere is missing as a folder, yet no folder can be made in its place.
      FileInfo link;
      if (env->GetFileInfo(prefix, /*follow_links=*/false, &link).ok()) return false;
      made = true;
    }
  }
  return !folder.empty();
}

void DryRun::Move(Env* env, const std::string& from, const std::string& to) {
  if (from == to) return;
  std::optional<std::string> file = Occupant(env, from);
  if (!file) return;
  changed_[to] = *file;
  changed_[from].clear();
}

}  // namespace cartidex
