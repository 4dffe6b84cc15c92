#include "actions/folder_tree.h"

#include <vector>

#include "platform/path.h"
#include "platform/program_folder.h"

namespace cartidex {

namespace {

// `path` without its trailing separators, a root's own excepted.
std::string WithoutTrailingSeparators(std::string path) {
  while (path.size() > 1 && IsSeparator(path.back())) {
    if (path.size() == 3 && path[1] == ':') break;  // "C:\"
    path.pop_back();
  }
  return path;
}

size_t SeparatorCount(const std::string& path) {
  size_t n = 0;
  for (char c : path) n += IsSeparator(c) ? 1 : 0;
  return n;
}

// The real path `path` would have once its missing folders were made: the real path of its
// deepest existing part (the text is cut back one part at a time until what is left exists; a
// relative text ends at the current folder), followed by the parts cut off, whose "." and ".."
// are taken as written, since folders yet to be made are no links.
bool DeepestRealPath(Env* env, const std::string& path, std::string* real) {
  std::string part = WithoutTrailingSeparators(path);
  std::vector<std::string> missing;  // the parts cut off, the last first
  for (;;) {
    if (env->GetRealPath(part.empty() ? std::string(".") : part, real).ok()) break;
    if (part.empty()) return false;
    std::string up = WithoutTrailingSeparators(std::string(FolderOf(part)));
    if (up == part) return false;
    missing.emplace_back(BaseName(part));
    part = up;
  }
  for (auto name = missing.rbegin(); name != missing.rend(); ++name) {
    if (name->empty() || *name == ".") continue;
    if (*name == "..") {
      *real = WithoutTrailingSeparators(std::string(FolderOf(*real)));
      continue;
    }
    if (!IsSeparator(real->back())) *real += kSeparator;
    *real += *name;
  }
  return true;
}

// True when the real path `path` is `folder` or lies below it, judged by the text alone (for a
// folder not made yet, which has no identity). Windows file systems fold letter case.
bool TextLiesWithin(const std::string& path, const std::string& folder) {
  if (path.size() < folder.size()) return false;
  for (size_t i = 0; i < folder.size(); ++i) {
    char a = path[i], b = folder[i];
#ifdef _WIN32
    a = AsciiUpper(a);
    b = AsciiUpper(b);
#endif
    if (a != b && !(IsSeparator(a) && IsSeparator(b))) return false;
  }
  return path.size() == folder.size() || IsSeparator(folder.back()) ||
         IsSeparator(path[folder.size()]);
}

}  // namespace

std::vector<std::string> FolderPrefixes(const std::string& folder) {
  std::vector<std::string> prefixes;
  for (size_t i = 1; i <= folder.size(); ++i) {
    if (i < folder.size() && !IsSeparator(folder[i])) continue;
    std::string prefix = folder.substr(0, i);
    if (IsSeparator(prefix.back())) continue;  // a doubled separator
#ifdef _WIN32
    if (prefix.size() == 2 && prefix[1] == ':') continue;  // the drive itself
#endif
    prefixes.push_back(std::move(prefix));
  }
  return prefixes;
}

bool MakeFolders(Env* env, const std::string& folder) {
  if (folder.empty()) return false;
  for (const std::string& prefix : FolderPrefixes(folder)) {
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

bool GetFolderPlace(Env* env, const std::string& folder, FolderPlace* place) {
  FileInfo info;
  if (!env->GetRealPath(folder, &place->real).ok()) return false;
  if (!env->GetFileInfo(place->real, /*follow_links=*/true, &info).ok()) return false;
  place->id = info.id;
  return true;
}

bool LiesWithin(Env* env, const std::string& path, const FolderPlace& place) {
  std::string real;
  if (place.real.empty() || !DeepestRealPath(env, path, &real)) return false;
  // Both are real paths: what lies inside the folder has, as its prefix with as many
  // separators, the folder itself (the identity decides, as a file system may fold letter case).
  const size_t depth = SeparatorCount(place.real);
  const bool root = IsSeparator(place.real.back());
  size_t seen = 0, cut = 0;
  for (; cut < real.size(); ++cut) {
    if (!IsSeparator(real[cut])) continue;
    if (++seen == depth && root) {
      ++cut;
      break;
    }
    if (seen > depth) break;
  }
  if (seen < depth) return false;
  FileInfo info;
  return env->GetFileInfo(real.substr(0, cut), /*follow_links=*/true, &info).ok() &&
         info.id == place.id;
}

bool InProgramsOwnFolders(Env* env, const std::string& folder) {
  for (const std::string& own : {TmpFolder(), DatfilesFolder()}) {
    FolderPlace place;
    if (GetFolderPlace(env, own, &place)) {
      if (LiesWithin(env, folder, place)) return true;
      continue;
    }
    // Not made yet: where the folder would be made.
    std::string own_real, real;
    if (DeepestRealPath(env, own, &own_real) && DeepestRealPath(env, folder, &real) &&
        TextLiesWithin(real, own_real)) {
      return true;
    }
  }
  return false;
}

}  // namespace cartidex
