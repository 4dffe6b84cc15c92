// Every platform call of "Generate" is made to fail in turn, over a folder that already holds an
// older list and a file of the user's: each list is written whole or logged as not written (and
// then is either gone or the older one, never a cut one), nothing else is touched, and the next
// "Generate" writes every list as usual.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "actions/process_file.h"
#include "actions/set_lists.h"
#include "support/fault_scenario.h"
#include "support/game_library.h"
#include "support/zip_writer.h"

namespace cartidex::test {
namespace {

TEST(GenerateFaultsTest, EveryStepOfGenerateFailsSafely) {
  FaultScenario scenario;
  scenario.prepare_home = [](TestHome* home) { home->AddDatafile("games.cxi", kGamesDatafile); };
  scenario.lay_out = [](const std::string& root) {
    WriteZip(root + "/in/sonic.zip",
             {ZipMember("sonic1.bin", kSonic1), ZipMember("sonic2.bin", kSonic2)});
    WriteFile(root + "/lists/Game Boy_have.txt", "an older list");
    WriteFile(root + "/lists/notes.txt", "the user's own file");
  };
  // An owned set, so that both kinds of list have lines.
  scenario.setup = [](HeadlessView* view, const std::string& root) {
    ProcessFile(root + "/in/sonic.zip", view);
  };
  scenario.run = [](HeadlessView*, const std::string& root) { WriteSetLists(root + "/lists"); };

  const RunOutcome reference = RunWithFault(scenario, 0);
  ASSERT_EQ(reference.log, "");
  ASSERT_EQ(reference.after.count("HOME/first/lists/Mega Drive_have.txt"), 1u);
  const int calls = static_cast<int>(reference.calls.size());
  EXPECT_GT(calls, 15);
  int injected = 0;
  for (int n = 1; n <= calls; ++n) {
    SCOPED_TRACE("call " + std::to_string(n));
    const RunOutcome run = RunWithFault(scenario, n);
    ASSERT_TRUE(run.calls[static_cast<size_t>(n - 1)].failed);
    ++injected;
    for (const auto& [path, contents] : reference.after) {
      auto it = run.after.find(path);
      if (it != run.after.end() && it->second == contents) continue;
      // Not as it should be: the log must say so, and what is there is no cut list.
      EXPECT_NE(run.log.find("List not written: " + path + "\r\n"), std::string::npos) << path;
      auto old = run.before.find(path);
      if (it != run.after.end()) {
        EXPECT_TRUE(old != run.before.end() && old->second == it->second) << path;
      }
    }
    for (const auto& [path, contents] : run.after) {
      EXPECT_EQ(reference.after.count(path), 1u) << "a file that should not be: " << path;
    }
    EXPECT_EQ(run.after.at("HOME/first/lists/notes.txt"), "the user's own file");
    for (const std::string& line : FailureLines(run.log)) {
      EXPECT_TRUE(line.starts_with("List not written: ")) << line;
    }
    EXPECT_EQ(run.next_log, "");
    EXPECT_EQ(Rooted(run.next_after), Rooted(reference.next_after));
  }
  std::printf("generate: %d faults injected and survived\n", injected);
}

}  // namespace
}  // namespace cartidex::test
