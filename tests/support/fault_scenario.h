// The fault tests' machinery: a command run over a fresh tree with platform calls made to fail,
// what the checks need afterwards, and the same command run again with nothing failing.
#ifndef CARTIDEX_TESTS_SUPPORT_FAULT_SCENARIO_H_
#define CARTIDEX_TESTS_SUPPORT_FAULT_SCENARIO_H_

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/headless_view.h"
#include "support/fault_env.h"
#include "support/test_util.h"

namespace cartidex::test {

// Files below a folder: full path -> contents.
using Tree = std::map<std::string, std::string>;

// Replays the log's "Renamed: " and " Moved: " lines over `before` and gives the tree they
// promise; a line whose source holds no file or whose target is taken is given in *bad. With
// `lexical`, paths are taken in their lexical normal form ("." and ".." resolved).
Tree ReplaySuccessLines(const std::string& log, const Tree& before, std::string* bad,
                        bool lexical = false);
// The log's failure lines, without their "\r\n".
std::vector<std::string> FailureLines(const std::string& log);

// One command over a tree below a root folder, the games' datafile loaded.
struct FaultScenario {
  std::function<void(const std::string& root)> lay_out;
  // What comes before the command, nothing failing; then the command itself.
  std::function<void(HeadlessView*view, const std::string&root)> setup, run;
};

// What one run left behind, the program folder written "HOME".
struct RunOutcome {
  Tree before, after;               // below "HOME/first", before and after the command
  std::string log;                  // the command's log lines
  std::vector<std::string> fields;  // Filename, Name, System, CRC32, Size afterwards
  std::vector<EnvCall> calls;       // the platform calls it made
  std::string next_log;             // the log of the command run again over "HOME/second"
  Tree next_after;                  // "HOME/second" after it
  Tree tmp_final;                   // `tmp` at the end
};

// Runs the scenario in a fresh program folder over "HOME/first" with the faults `arm` sets, then
// over "HOME/second" with none. Calls on the activity log are never counted or failed.
RunOutcome RunWithFault(const FaultScenario& scenario, const std::function<void(FaultEnv*)>& arm);

// What is wrong after a fault, against the run without one ("" when nothing): every original
// file's contents exist once; the success lines replayed give the tree after; a file that did
// not end where it ends without the fault is named by a failure line (by its path, its folder or
// its archive); no file passes for what it is not; the next command logs and does the same as
// after a run that never failed, leaving `tmp` the same.
std::string CheckNothingLost(const RunOutcome& run, const RunOutcome& reference);

// A tree with "HOME/first/" and "HOME/second/" made "ROOT/", to compare runs over each.
Tree Rooted(const Tree& tree);

}  // namespace cartidex::test

#endif  // CARTIDEX_TESTS_SUPPORT_FAULT_SCENARIO_H_
