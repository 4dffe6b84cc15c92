// Every platform call of a walk with rename and both moves made to fail in turn, each time over a
// fresh tree. Nothing may be lost, the log may promise nothing that did not happen and must name
// what failed, and the next archive must find `tmp` as usual.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "actions/process_file.h"
#include "actions/process_folder.h"
#include "app/headless_view.h"
#include "platform/dialog_view.h"
#include "romdb/datafile_loader.h"
#include "support/fault_env.h"
#include "support/test_util.h"
#include "support/zip_writer.h"

namespace cartidex::test {
namespace {

using Tree = std::map<std::string, std::string>;  // full path -> contents

std::vector<std::string> Lines(const std::string& log) {
  std::vector<std::string> lines;
  for (size_t start = 0; start < log.size();) {
    const size_t end = std::min(log.find("\r\n", start), log.size());
    lines.push_back(log.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

// The run's folder as "HOME" and, on Windows, '\\' as '/': log, fields and disk read alike.
std::string Homed(std::string text, const std::string& home) {
  text = ReplaceAll(std::move(text), home, "HOME");
#ifdef _WIN32
  std::replace(text.begin(), text.end(), '\\', '/');
#endif
  return text;
}

Tree HomedTree(const std::string& root, const std::string& home) {
  Tree tree;
  for (const std::string& rel : ListTree(root))
    tree[Homed(root + "/" + rel, home)] = ReadFile(root + "/" + rel);
  return tree;
}

// The paths the log's failure lines name, and the archive whose list holds one.
std::vector<std::string> Named(const std::string& log) {
  std::vector<std::string> named;
  std::string archive;
  for (std::string line : Lines(log)) {
    if (line.starts_with("File unzipped: ")) archive = line.substr(15);
    const bool member = line.starts_with("  - ");
    if (member) line = line.substr(4);
    if (!line.starts_with("Cannot ") && line.find(" failed: ") == std::string::npos) continue;
    const size_t head = line.find(": ") + 2, to = line.find(" To: ", head);
    named.push_back(line.substr(head, to - head));
    if (member) named.push_back(archive);
    if (to != std::string::npos) named.push_back(line.substr(to + 5));
  }
  return named;
}

// Replays the log's "Renamed: " and " Moved: " lines over `before`; a line whose source holds no
// file or whose target is taken is given in *bad.
Tree ReplaySuccessLines(const std::string& log, const Tree& before, std::string* bad) {
  Tree tree = before;
  for (const std::string& line : Lines(log)) {
    const size_t head = line.starts_with("Renamed: ") ? 9 : line.starts_with(" Moved: ") ? 8 : 0;
    const size_t to = line.find(" To: ", head);
    if (head == 0) continue;
    const std::string from_path = line.substr(head, to - head), to_path = line.substr(to + 5);
    if (from_path == to_path) continue;  // onto the file itself
    auto it = tree.find(from_path);
    if (to == std::string::npos || it == tree.end() || tree.count(to_path) != 0) {
      *bad = line;
      return tree;
    }
    tree[to_path] = std::move(it->second);
    tree.erase(it);
  }
  return tree;
}

#ifndef _WIN32
// The set as a solid 7z archive, made once by the 7z program, so that every run has its bytes.
const std::string& Sonic7z() {
  static const std::string bytes = [] {
    TempDir dir;
    WriteFile(dir.Path("sonic1.bin"), kSonic1);
    WriteFile(dir.Path("sonic2.bin"), kSonic2);
    const std::vector<std::string> args = {"a",    "-bso0",      "-ms=on",
                                           "s.7z", "sonic1.bin", "sonic2.bin"};
    EXPECT_EQ(RunCli("7z", args, dir.path()).status, 0);
    return ReadFile(dir.Path("s.7z"));
  }();
  return bytes;
}
#endif

struct RunOutcome {
  Tree before, after, tmp;  // below the root before and after the walk; `tmp` at the end
  std::string log;          // the walk's log lines
  int calls = 0;            // the platform calls it made
};

// Walks a fresh tree with its nth platform call failing (none for 0), the log's calls never.
RunOutcome RunWithFault(int n) {
  RunOutcome out;
  TestHome home;
  const std::string &h = home.path(), root = home.Path("root");
  home.AddDatafile("games.cxi", kGamesDatafile);
  LoadDatafiles();
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
#ifndef _WIN32
  WriteFile(root + "/in/sub/sonic.7z", Sonic7z());
#endif
  // The members of an earlier archive lie in tmp, to be deleted by the walk's first archive.
  HeadlessView view;
  ProcessFile(root + "/earlier.zip", &view, {});
  for (int id : {kIdRename, kIdSubdirs, kIdMoveKnown, kIdMoveUnknown}) view.SetChecked(id, true);
  view.SetText(kIdMoveKnownField, root + "/out/<system>");
  view.SetText(kIdMoveUnknownField, root + "/out/unknown");
  out.before = HomedTree(root, h);
  const size_t log_start = home.Log().size();
  {
    FaultEnv env;
    if (n > 0) env.FailCall(n);
    ScopedEnv scoped(&env);
    ProcessFolder(&view, root + "/in", {});
    out.calls = env.calls();
  }
  out.log = Homed(home.Log().substr(log_start), h);
  out.after = HomedTree(root, h);
  // The next archive finds `tmp` as usual, and a file after it takes away all it holds: a member
  // whose deletion failed is still listed, and goes then.
  ProcessFile(root + "/earlier.zip", &view, {});
  ProcessFile(root + "/none.bin", &view, {});
  out.tmp = HomedTree(home.Path("tmp"), h);
  return out;
}

// What is wrong after a fault, against the run without one ("" when nothing): the success lines
// replayed give the tree after; a file that did not end where it ends without the fault is named
// by a failure line; no file passes for what it is not; `tmp` ends the same.
std::string CheckNothingLost(const RunOutcome& run, const RunOutcome& reference) {
  std::string problems, bad;
  std::map<std::string, std::string> origin, where_then;  // by contents
  for (const auto& [path, contents] : run.before) origin[contents] = path;
  for (const auto& [path, contents] : reference.after) where_then[contents] = path;
  // Replayed over the files before, the lines keep every file's contents, once.
  if (ReplaySuccessLines(run.log, run.before, &bad) != run.after || !bad.empty()) {
    problems += "the success lines do not give the tree on disk: " + bad + "\n";
  }
  const std::vector<std::string> named = Named(run.log);
  for (const auto& [path, contents] : run.after) {
    const std::string& was_at = origin[contents];
    // Named by its path, either path of its move, its folder or its archive.
    const bool is_named = std::any_of(named.begin(), named.end(), [&](const std::string& p) {
      return p == path || p == was_at || (p.ends_with('/') && was_at.starts_with(p));
    });
    if (where_then[contents] != path && !is_named) {
      problems += "no failure line names " + was_at + " (now " + path + ")\n";
    }
  }
  for (const std::string& line : Lines(run.log)) {
    if ((line.starts_with("Renamed: ") || line.starts_with(" Found set: ")) &&
        reference.log.find(line + "\r\n") == std::string::npos) {
      problems += "identified as something else: " + line + "\n";
    }
  }
  if (run.tmp != reference.tmp) problems += "tmp holds other files\n";
  return problems;
}

TEST(ActionFaultsTest, EveryStepOfAWalkWithRenameAndBothMovesFailsSafely) {
  const RunOutcome reference = RunWithFault(0);
  EXPECT_EQ(CheckNothingLost(reference, reference), "");
  EXPECT_EQ(Named(reference.log), std::vector<std::string>{}) << reference.log;
  EXPECT_GT(reference.calls, 100);
  EXPECT_EQ(reference.tmp, Tree{});
  for (int n = 1; n <= reference.calls; ++n) {
    const RunOutcome run = RunWithFault(n);
    EXPECT_EQ(CheckNothingLost(run, reference), "") << "call " << n << " failed; log:\n" << run.log;
  }
}

}  // namespace
}  // namespace cartidex::test
