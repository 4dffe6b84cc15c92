// Helpers of the walk tests: the action lines of the log, the log replayed on a tree, and a view
// whose KeepAlive can ask the walk to stop.
#ifndef CARTIDEX_TESTS_ACTIONS_WALK_TEST_UTIL_H_
#define CARTIDEX_TESTS_ACTIONS_WALK_TEST_UTIL_H_

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "app/headless_view.h"
#include "platform/path.h"
#include "support/fault_scenario.h"
#include "support/test_util.h"

namespace cartidex::test {

// The log's lines written by renames, moves and the walk itself (identification lines left
// out), each without its "\r\n".
inline std::vector<std::string> ActionLines(const std::string& log) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < log.size()) {
    size_t end = log.find("\r\n", start);
    if (end == std::string::npos) end = log.size();
    std::string line = log.substr(start, end - start);
    for (const char* head :
         {"Renamed: ", "Rename failed: ", " Moved: ", " Move failed: ", "Cannot list: "}) {
      if (line.starts_with(head)) {
        lines.push_back(line);
        break;
      }
    }
    start = end + 2;
  }
  return lines;
}

// Replays the log's "Renamed" and " Moved" lines on the tree `before` (path to contents) and
// expects the tree on disk below `root` to be the outcome: nothing lost, nothing doubled, nothing
// done that the log does not tell.
inline void ExpectLogReplaysToTree(const Tree& before, const std::string& log,
                                   const std::string& root) {
  std::string bad;
  // Targets may be written with "." and ".."; the trees hold no links.
  const Tree expected = ReplaySuccessLines(log, before, &bad, /*lexical=*/true);
  EXPECT_EQ(bad, "");
  Tree after;
  for (const std::string& rel : ListTree(root)) {
    const std::string path = root + kSeparator + NativePath(rel);
    after[path] = ReadFile(path);
  }
  EXPECT_EQ(after, expected);
  std::multiset<std::string> was, is;
  for (const auto& [p, c] : before) was.insert(c);
  for (const auto& [p, c] : after) is.insert(c);
  EXPECT_EQ(was, is);
}

// Counts KeepAlive calls and answers false from call `stop_at` on (0: never).
class CountingView : public HeadlessView {
 public:
  bool KeepAlive() override {
    ++calls;
    info_lines.push_back(GetText(kIdInfoLine));
    return stop_at == 0 || calls < stop_at;
  }
  int calls = 0;
  int stop_at = 0;
  std::vector<std::string> info_lines;
};

}  // namespace cartidex::test

#endif  // CARTIDEX_TESTS_ACTIONS_WALK_TEST_UTIL_H_
