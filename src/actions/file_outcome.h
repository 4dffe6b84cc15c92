// What the actions tell their caller beyond the log: what became of each file, the counts of a
// walk, and the settings a caller gives the actions besides the dialog's own options.
#ifndef CARTIDEX_ACTIONS_FILE_OUTCOME_H_
#define CARTIDEX_ACTIONS_FILE_OUTCOME_H_

#include <cstdint>
#include <string>
#include <vector>

namespace cartidex {

class DryRun;

// One file handled by "Single rom" or a walk.
struct FileOutcome {
  enum class Result { kIdentified, kUnknown, kError };
  std::string path;  // where the file was found
  Result result = Result::kError;
  // The texts of the Name, System, CRC32 and Size fields as the identification showed them.
  std::string name, system, crc32, size;
  // Where the file is after its rename and move (in a dry run, where it would be); empty when it
  // stays where it was found.
  std::string new_path;
  // The failure lines logged for the file, with "\r\n" between them and none after the last.
  std::string failures;
  bool renamed = false;  // its name changed
  bool moved = false;    // its folder changed
};

// The counts of one walk. `failures` counts every failure line the walk logged, a folder that
// could not be listed included.
struct WalkTally {
  uint32_t files = 0, identified = 0, unknown = 0, errors = 0;
  uint32_t renamed = 0, moved = 0, failures = 0;
};

// Told of every file as soon as it has been handled.
class FileListener {
 public:
  virtual ~FileListener() = default;
  virtual void FileHandled(const FileOutcome& outcome) = 0;
};

struct ActionSettings {
  // When set, nothing on disk outside `tmp` and the log changes: the renames, moves and lists
  // are logged as what would be done, and remembered here for the steps after them.
  DryRun* dry_run = nullptr;
  // "Generate" also writes each system's missing sets as a DAT.
  bool fixdat = false;
  FileListener* listener = nullptr;
  // Files the program itself is writing (a report), which a walk never handles.
  std::vector<std::string> own_files;
};

}  // namespace cartidex

#endif  // CARTIDEX_ACTIONS_FILE_OUTCOME_H_
