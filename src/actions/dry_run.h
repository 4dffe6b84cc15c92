// DryRun: the file tree as a dry run's announced renames and moves would leave it, so that each
// later step of the run meets the files where the earlier steps would have put them.
#ifndef CARTIDEX_ACTIONS_DRY_RUN_H_
#define CARTIDEX_ACTIONS_DRY_RUN_H_

#include <map>
#include <optional>
#include <string>

#include "platform/env.h"

namespace cartidex {

class DryRun {
 public:
  // The path on disk of what would stand at `path` (a file, or a folder on disk); nullopt when
  // the path would be free.
  std::optional<std::string> Occupant(Env* env, const std::string& path) const;

  // Whether MakeFolders(folder) would succeed, as far as can be known beforehand: no file, on
  // disk or moved there, stands where one of its folders would be made.
  bool CouldMakeFolders(Env* env, const std::string& folder) const;

  // Records that the file at `from` would be moved to `to`.
  void Move(Env* env, const std::string& from, const std::string& to);

 private:
  // The paths the announced moves change: the path on disk of the file that would be there,
  // or an empty text when the path would be free.
  std::map<std::string, std::string> changed_;
};

}  // namespace cartidex

#endif  // CARTIDEX_ACTIONS_DRY_RUN_H_
