// SessionState: the process-wide record of the identification in progress, and the tally of the
// sets that an archive's members match.
#ifndef CARTIDEX_IDENTIFY_SESSION_STATE_H_
#define CARTIDEX_IDENTIFY_SESSION_STATE_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace cartidex {

// Matches counted per set for one archive, in the order in which the sets were first counted.
// It grows with the archive; `position` finds a set's entry without a walk, so an archive
// touching thousands of sets costs no more per match than one touching a few.
struct SetTally {
  struct Entry {
    int32_t set_index;
    int32_t roms_needed;
    int32_t roms_matched;
  };
  std::vector<Entry> entries;
  std::unordered_map<int32_t, size_t> position;  // set index -> index into `entries`
};

struct SessionState {
  // Full paths of the files taken out of `tmp` for the archive in progress (or the last one).
  std::vector<std::string> extracted_files;
  // The file the last identification concerns; rename and move act on it and follow the file.
  std::string current_path;
  // True while the identification in progress, or the last one, is that of an archive.
  bool archive_mode = false;
  // System of the first matching entry of the last file that matched.
  std::string current_system;
  SetTally tally;

  // Counts one match for a set (appending its entry, with the set's ROM count as needed).
  void TallyAdd(int32_t set_index);
  // Marks every complete set owned and gives the complete set with the most ROMs (of equal ones,
  // the later entry) in *best. False when no set is complete.
  bool TallyBest(int32_t* best);
};

// The process-wide session.
SessionState& Session();
// Starts the session afresh (start-up and tests).
void ResetSession();

}  // namespace cartidex

#endif  // CARTIDEX_IDENTIFY_SESSION_STATE_H_
