// Every platform call of a folder walk with rename and both moves, and of the identification of an
// archive that is then renamed and moved, is made to fail in turn, each time over a fresh tree:
// nothing may be lost, the log may promise nothing that did not happen and must name what failed,
// the fields must show what they show for a failure, and the next command must work as usual.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "actions/process_file.h"
#include "actions/process_folder.h"
#include "platform/dialog_view.h"
#include "support/fault_scenario.h"
#include "support/game_library.h"
#include "support/zip_writer.h"

namespace cartidex::test {
namespace {

void PrepareHome(TestHome* home) {
  home->AddDatafile("games.cxi", kGamesDatafile);
}

void SetOptions(HeadlessView* view, const std::string& root) {
  view->SetChecked(kIdRename, true);
  view->SetChecked(kIdSubdirs, true);
  view->SetChecked(kIdMoveKnown, true);
  view->SetText(kIdMoveKnownField, root + "/out/<system>");
  view->SetChecked(kIdMoveUnknown, true);
  view->SetText(kIdMoveUnknownField, root + "/out/unknown");
}

// Runs the scenario with every call failing in turn; gives the number of faults injected.
int FailEveryCall(const FaultScenario& scenario,
                  const std::function<std::string(const RunOutcome&)>& extra_checks) {
  const RunOutcome reference = RunWithFault(scenario, 0);
  EXPECT_EQ(CheckNothingLost(reference, reference), "");
  EXPECT_TRUE(FailureLines(reference.log).empty()) << reference.log;
  const int calls = static_cast<int>(reference.calls.size());
  EXPECT_GT(calls, 20);
  int injected = 0;
  for (int n = 1; n <= calls; ++n) {
    const RunOutcome run = RunWithFault(scenario, n);
    const EnvCall& call = run.calls[static_cast<size_t>(n - 1)];
    // The same steps up to the failure: the enumeration fails what it means to.
    if (!call.failed) {
      ADD_FAILURE() << "call " << n << " did not fail";
      break;
    }
    ++injected;
    const std::string problems = CheckNothingLost(run, reference) + extra_checks(run);
    EXPECT_EQ(problems, "") << "call " << n << " (" << EnvOpName(call.op) << " " << call.path
                            << ") failed; log:\n"
                            << run.log;
  }
  return injected;
}

TEST(ActionFaultsTest, EveryStepOfAWalkWithRenameAndBothMovesFailsSafely) {
  FaultScenario scenario;
  scenario.prepare_home = PrepareHome;
  scenario.lay_out = [](const std::string& root) {
    WriteFile(root + "/in/a.bin", kTetris);
    WriteFile(root + "/in/Columns.md", kColumns);
    WriteFile(root + "/in/junk.txt", "not a rom at all");
    WriteZip(root + "/in/sonic.zip",
             {ZipMember("sonic1.bin", kSonic1, 8), ZipMember("sonic2.bin", kSonic2, 8)});
    WriteFile(root + "/in/sub/z.gb", kZelda);
    WriteFile(root + "/in/sub/empty.bin", "");
    WriteZip(root + "/in/sub/half.zip", {ZipMember("sonic1.bin", kSonic1)});
  };
  scenario.run = [](HeadlessView* view, const std::string& root) {
    SetOptions(view, root);
    ProcessFolder(view, root + "/in");
  };
  const int injected = FailEveryCall(scenario, [](const RunOutcome& run) {
    // A walk ends with "Several" in four fields, whatever failed.
    std::string problems;
    for (size_t i : {0u, 1u, 3u, 4u}) {
      if (run.fields[i] != "Several")
        problems += "field " + std::to_string(i) + " is not Several\n";
    }
    return problems;
  });
  std::printf("walk: %d faults injected and survived\n", injected);
}

TEST(ActionFaultsTest, AFullDiskDuringAWalkLosesNothing) {
  FaultScenario scenario;
  scenario.prepare_home = PrepareHome;
  scenario.lay_out = [](const std::string& root) {
    WriteZip(root + "/in/a.zip", {ZipMember("sonic1.bin", kSonic1, 8), ZipMember("x", "x")});
    WriteZip(root + "/in/sonic.zip",
             {ZipMember("sonic1.bin", kSonic1, 8), ZipMember("sonic2.bin", kSonic2, 8)});
    WriteFile(root + "/in/z.gb", kZelda);
  };
  scenario.run = [](HeadlessView* view, const std::string& root) {
    SetOptions(view, root);
    ProcessFolder(view, root + "/in");
  };
  const RunOutcome reference = RunWithFault(scenario, 0);
  int injected = 0;
  // The disk fills up in the first archive, between its members, in the second archive.
  for (int64_t room : {0, 1, 19, 20, 21, 30, 45, 50, 60}) {
    const RunOutcome run =
        RunWithFault(scenario, [room](FaultEnv* env) { env->DiskFullAfter(room); });
    ++injected;
    EXPECT_EQ(CheckNothingLost(run, reference), "") << room << " bytes; log:\n" << run.log;
  }
  std::printf("full disk: %d faults injected and survived\n", injected);
}

TEST(ActionFaultsTest, EveryStepOfAnArchiveIdentificationFailsSafely) {
  FaultScenario scenario;
  scenario.prepare_home = PrepareHome;
  scenario.lay_out = [](const std::string& root) {
    WriteZip(root + "/in/earlier.zip", {ZipMember("sonic1.bin", kSonic1), ZipMember("x", "x")});
    WriteZip(root + "/in/pack.zip",
             {ZipMember("docs/", ""), ZipMember("docs/readme.txt", "read me", 8),
              ZipMember("sonic1.bin", kSonic1, 8), ZipMember("sonic2.bin", kSonic2, 8)});
  };
  // The members of an earlier archive lie in tmp, to be deleted by this identification.
  scenario.setup = [](HeadlessView* view, const std::string& root) {
    ProcessFile(root + "/in/earlier.zip", view);
  };
  scenario.run = [](HeadlessView* view, const std::string& root) {
    SetOptions(view, root);
    ProcessFile(root + "/in/pack.zip", view);
  };
  const int injected = FailEveryCall(scenario, [](const RunOutcome& run) {
    const bool failed = run.log.find("Cannot extract: ") != std::string::npos ||
                        run.log.find("Cannot read: ") != std::string::npos;
    const bool renamed = run.log.find("Renamed: ") != std::string::npos;
    const std::vector<std::string> identified = {renamed ? "Sonic Pack.zip" : "pack.zip",
                                                 "Sonic Pack.zip", "Mega Drive", "Zipfile",
                                                 "Zipfile"};
    const std::vector<std::string> expected =
        failed ? std::vector<std::string>(5, "Error") : identified;
    return run.fields == expected ? std::string() : "the fields are not those of the outcome\n";
  });
  std::printf("archive: %d faults injected and survived\n", injected);
}

}  // namespace
}  // namespace cartidex::test
