// Every platform call of a command made to fail in turn, each time over a fresh tree: a walk with
// rename and both moves, and "Generate" over a folder with an older list and a file of the user's.
// Nothing may be lost, the log may promise nothing that did not happen and must name what failed,
// and the next command must work as usual.
#include <gtest/gtest.h>

#include "actions/process_file.h"
#include "actions/process_folder.h"
#include "actions/set_lists.h"
#include "platform/dialog_view.h"
#include "support/fault_scenario.h"
#include "support/game_library.h"
#include "support/zip_writer.h"

namespace cartidex::test {
namespace {

using Check = std::function<std::string(const RunOutcome& run, const RunOutcome& reference)>;

// The members of an earlier archive lie in tmp, to be deleted by the walk's first archive.
const FaultScenario kWalk = {
    [](const std::string& root) {
      WriteFile(root + "/earlier.zip", StoredZip({{"sonic1.bin", kSonic1}, {"x", "x"}}));
      WriteFile(root + "/in/a.bin", kTetris);
      WriteFile(root + "/in/Columns.md", kColumns);
      WriteFile(root + "/in/junk.txt", "not a rom at all");
      WriteZip(root + "/in/sonic.zip",
               {ZipMember("docs/", ""), ZipMember("docs/readme.txt", "read me", 8),
                ZipMember("sonic1.bin", kSonic1, 8), ZipMember("sonic2.bin", kSonic2, 8)});
      WriteFile(root + "/in/sub/z.gb", kZelda);
      WriteFile(root + "/in/sub/empty.bin", "");
      WriteFile(root + "/in/sub/half.zip", StoredZip({{"sonic1.bin", kSonic1}}));
    },
    [](HeadlessView* view, const std::string& root) { ProcessFile(root + "/earlier.zip", view); },
    [](HeadlessView* view, const std::string& root) {
      for (int id : {kIdRename, kIdSubdirs, kIdMoveKnown, kIdMoveUnknown}) {
        view->SetChecked(id, true);
      }
      view->SetText(kIdMoveKnownField, root + "/out/<system>");
      view->SetText(kIdMoveUnknownField, root + "/out/unknown");
      ProcessFolder(view, root + "/in");
    }};

RunOutcome FailingCall(const FaultScenario& scenario, int n) {
  return RunWithFault(scenario, [n](FaultEnv* env) {
    if (n > 0) env->FailCall(n);
  });
}

// Runs `scenario` with each of its platform calls failing in turn and `check`s every run; gives
// the run with nothing failing.
RunOutcome FailEveryCall(const FaultScenario& scenario, size_t least_calls, const Check& check) {
  const RunOutcome reference = FailingCall(scenario, 0);
  EXPECT_EQ(check(reference, reference), "");
  EXPECT_EQ(FailureLines(reference.log), std::vector<std::string>{}) << reference.log;
  EXPECT_GT(reference.calls.size(), least_calls);
  for (size_t n = 1; n <= reference.calls.size(); ++n) {
    const RunOutcome run = FailingCall(scenario, static_cast<int>(n));
    // The same steps up to the failure: the one failed is the one meant.
    const EnvCall& call = run.calls.at(n - 1);
    EXPECT_TRUE(call.failed) << "call " << n;
    EXPECT_EQ(check(run, reference), "") << "call " << n << " (" << static_cast<int>(call.op) << " "
                                         << call.path << ") failed; log:\n"
                                         << run.log;
  }
  return reference;
}

TEST(ActionFaultsTest, EveryStepOfAWalkWithRenameAndBothMovesFailsSafely) {
  FailEveryCall(kWalk, 100, [](const RunOutcome& run, const RunOutcome& reference) {
    // A walk ends with "Several" in four fields, whatever failed.
    const std::vector<std::string> several = {"Several", "Several", run.fields[2], "Several",
                                              "Several"};
    return CheckNothingLost(run, reference) +
           (run.fields == several ? "" : "the fields are not Several\n");
  });
}

TEST(ActionFaultsTest, AFullDiskDuringAWalkLosesNothing) {
  const RunOutcome reference = FailingCall(kWalk, 0);
  // The members of the first archive take 51 bytes, those of the second 20.
  for (int64_t room : {0, 1, 7, 20, 27, 40, 51, 60}) {
    const RunOutcome run = RunWithFault(kWalk, [room](FaultEnv* env) { env->DiskFullAfter(room); });
    EXPECT_EQ(CheckNothingLost(run, reference), "") << room << " bytes; log:\n" << run.log;
  }
}

// Each list is written whole, or logged as not written and then gone or the older one, never a
// cut one; nothing else is touched, and the next "Generate" writes every list.
std::string CheckLists(const RunOutcome& run, const RunOutcome& reference) {
  std::string problems;
  for (const auto& [path, contents] : reference.after) {
    const auto now = run.after.find(path), then = run.before.find(path);
    const bool gone = now == run.after.end();
    if (!gone && now->second == contents) continue;
    if (run.log.find("List not written: " + path + "\r\n") == std::string::npos ||
        (!gone && (then == run.before.end() || then->second != now->second))) {
      problems += "neither written nor logged as not written and gone or as before: " + path + "\n";
    }
  }
  for (const auto& [path, contents] : run.after) {
    if (reference.after.count(path) == 0) problems += "a file that should not be: " + path + "\n";
  }
  for (const std::string& line : FailureLines(run.log)) {
    if (!line.starts_with("List not written: ")) problems += "another failure: " + line + "\n";
  }
  if (!run.next_log.empty() || Rooted(run.next_after) != Rooted(reference.next_after)) {
    problems += "the next Generate does not write every list\n";
  }
  return problems;
}

TEST(GenerateFaultsTest, EveryStepOfGenerateFailsSafely) {
  const FaultScenario scenario = {
      [](const std::string& root) {
        WriteZip(root + "/in/sonic.zip",
                 {ZipMember("sonic1.bin", kSonic1), ZipMember("sonic2.bin", kSonic2)});
        WriteFile(root + "/lists/Game Boy_have.txt", "an older list");
        WriteFile(root + "/lists/notes.txt", "the user's own file");
      },
      // An owned set, so that both kinds of list have lines.
      [](HeadlessView* view, const std::string& root) {
        ProcessFile(root + "/in/sonic.zip", view);
      },
      [](HeadlessView*, const std::string& root) { WriteSetLists(root + "/lists"); }};
  const RunOutcome reference = FailEveryCall(scenario, 15, CheckLists);
  EXPECT_EQ(reference.log, "");
  EXPECT_EQ(reference.after.at("HOME/first/lists/Mega Drive_have.txt"),
            "Owning Mega Drive sets:\r\n\r\nSonic Pack\r\n");
}

}  // namespace
}  // namespace cartidex::test
