// The machinery of the fault tests: a command run over a fresh tree with one platform call made
// to fail (every call the command makes, in turn), what the checks need afterwards (the files,
// the log, the fields), and the same command run again with nothing failing.
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

// Replays the log's "Renamed: " and " Moved: " lines over `before`: every source must hold a file
// and every target must be free at that point; a line that breaks this is given in *bad. Gives
// the tree the lines promise. With `lexical`, the lines' paths are taken in their lexical normal
// form: targets written with "." and ".." name the same file in a tree that holds no links.
Tree ReplaySuccessLines(const std::string& log, const Tree& before, std::string* bad,
                        bool lexical = false);

// The log's failure lines (the six kinds), without their "\r\n".
std::vector<std::string> FailureLines(const std::string& log);

// `text` with every `from` replaced by `to`.
std::string ReplaceAll(std::string text, const std::string& from, const std::string& to);

// One command over a tree below a root folder.
struct FaultScenario {
  // Datafiles (loaded after this) and anything else the program folder needs.
  std::function<void(TestHome* home)> prepare_home;
  // Writes the tree below `root`.
  std::function<void(const std::string& root)> lay_out;
  // What comes before the command, with nothing failing (may be empty).
  std::function<void(HeadlessView* view, const std::string& root)> setup;
  // Sets the view's options for a command against `root`, then runs the command.
  std::function<void(HeadlessView* view, const std::string& root)> run;
};

// What one run left behind. Paths are written with the program folder as "HOME".
struct RunOutcome {
  Tree before;                      // the tree below "HOME/first" before the command
  Tree after;                       // and after it
  std::string log;                  // the log lines of the command
  std::vector<std::string> fields;  // Filename, Name, System, CRC32, Size afterwards
  std::vector<EnvCall> calls;       // the platform calls it made
  std::string next_log;             // the log of the command run again over "HOME/second"
  Tree next_after;                  // the tree below "HOME/second" after it
  Tree tmp_final;                   // what `tmp` holds at the end
};

// Runs the scenario in a fresh program folder: the command over "HOME/first" with the nth
// counted platform call failing (none for 0), or with the faults `arm` sets; then, nothing
// failing, over "HOME/second". Calls on the activity log are never counted or failed.
RunOutcome RunWithFault(const FaultScenario& scenario, int fail_call);
RunOutcome RunWithFault(const FaultScenario& scenario, const std::function<void(FaultEnv*)>& arm);

// The checks every file action must pass after a fault, against the run without one; gives what
// is wrong ("" when nothing): every original file's contents exist exactly once below the root;
// the log's success lines, replayed over the tree before, give the tree after; a file that did
// not end where it ends without the fault is named by a failure line (its path, the folder
// holding it, or its archive); no file passes for what it is not; and the same command, run
// again with nothing failing, logs and does what it does in a run that never failed, leaving
// `tmp` the same.
std::string CheckNothingLost(const RunOutcome& run, const RunOutcome& reference);

// A tree or log with "HOME/first/" and "HOME/second/" made "ROOT/", to compare runs over each.
Tree Rooted(const Tree& tree);
std::string Rooted(const std::string& log);

}  // namespace cartidex::test

#endif  // CARTIDEX_TESTS_SUPPORT_FAULT_SCENARIO_H_
