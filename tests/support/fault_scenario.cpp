#include "support/fault_scenario.h"

#include <algorithm>
#include <filesystem>
#include <set>

#include "platform/dialog_view.h"
#include "romdb/datafile_loader.h"
#include "support/game_library.h"

namespace cartidex::test {

namespace {

// clang-format off
constexpr const char* kFailureHeads[] = {"Cannot read: ", "Cannot extract: ", "Cannot list: ",
    "Rename failed: ", " Move failed: ", "List not written: ", "Not a folder of its own: ",
    "Too large to load: "};
// clang-format on

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
  if (!Exists(root)) return tree;
  for (const std::string& rel : ListTree(root)) {
    tree[Homed(root + "/" + rel, home)] = ReadFile(root + "/" + rel);
  }
  return tree;
}

std::string Rooted(const std::string& log) {
  return ReplaceAll(ReplaceAll(log, "HOME/first/", "ROOT/"), "HOME/second/", "ROOT/");
}

// The log's failure lines; *named gets the paths they name, and the archive whose list holds one.
std::vector<std::string> Failures(const std::string& log, std::vector<std::string>* named) {
  std::vector<std::string> failures;
  std::string archive;
  for (std::string line : Lines(log)) {
    if (line.starts_with("File unzipped: ")) archive = line.substr(15);
    const bool member = line.starts_with("  - ");
    if (member) line = line.substr(4);
    if (std::none_of(std::begin(kFailureHeads), std::end(kFailureHeads),
                     [&](const char* head) { return line.starts_with(head); })) {
      continue;
    }
    failures.push_back(line);
    const size_t head = line.find(": ") + 2, to = line.find(" To: ", head);
    named->push_back(line.substr(head, to - head));
    if (member) named->push_back(archive);
    if (to != std::string::npos) named->push_back(line.substr(to + 5));
  }
  return failures;
}

}  // namespace

Tree ReplaySuccessLines(const std::string& log, const Tree& before, std::string* bad,
                        bool lexical) {
  auto path_of = [lexical](const std::string& path) {
    return lexical ? std::filesystem::path(path).lexically_normal().string() : path;
  };
  Tree tree = before;
  bad->clear();
  for (const std::string& line : Lines(log)) {
    const size_t head = line.starts_with("Renamed: ") ? 9 : line.starts_with(" Moved: ") ? 8 : 0;
    if (head == 0) continue;
    const size_t to = line.find(" To: ", head);
    if (to == std::string::npos) {
      *bad = line;
      return tree;
    }
    const std::string from_path = path_of(line.substr(head, to - head));
    const std::string to_path = path_of(line.substr(to + 5));
    if (from_path == to_path) continue;  // onto the file itself
    auto it = tree.find(from_path);
    if (it == tree.end() || tree.count(to_path) != 0) {
      *bad = line;
      return tree;
    }
    tree[to_path] = std::move(it->second);
    tree.erase(it);
  }
  return tree;
}

std::vector<std::string> FailureLines(const std::string& log) {
  std::vector<std::string> named;
  return Failures(log, &named);
}

RunOutcome RunWithFault(const FaultScenario& scenario, const std::function<void(FaultEnv*)>& arm) {
  RunOutcome out;
  TestHome home;
  const std::string& h = home.path();
  home.AddDatafile("games.cxi", kGamesDatafile);
  LoadDatafiles();
  HeadlessView view;
  scenario.lay_out(home.Path("first"));
  if (scenario.setup) scenario.setup(&view, home.Path("first"));
  out.before = HomedTree(home.Path("first"), h);
  size_t log_start = home.Log().size();
  {
    FaultEnv env;
    env.Ignore("log.txt");
    arm(&env);
    ScopedEnv scoped(&env);
    scenario.run(&view, home.Path("first"));
    out.calls = env.calls();
  }
  out.log = Homed(home.Log().substr(log_start), h);
  for (int id : {kIdFilenameField, kIdNameField, kIdSystemField, kIdCrcField, kIdSizeField}) {
    out.fields.push_back(Homed(view.GetText(id), h));
  }
  out.after = HomedTree(home.Path("first"), h);
  scenario.lay_out(home.Path("second"));
  if (scenario.setup) scenario.setup(&view, home.Path("second"));
  log_start = home.Log().size();
  scenario.run(&view, home.Path("second"));
  out.next_log = Homed(home.Log().substr(log_start), h);
  out.next_after = HomedTree(home.Path("second"), h);
  out.tmp_final = HomedTree(home.Path("tmp"), h);
  return out;
}

std::string CheckNothingLost(const RunOutcome& run, const RunOutcome& reference) {
  std::string problems;
  std::multiset<std::string> was, is;
  std::map<std::string, std::string> where, where_then, origin;  // by contents
  for (const auto& [path, contents] : run.before) {
    was.insert(contents);
    origin[contents] = path;
  }
  for (const auto& [path, contents] : run.after) {
    is.insert(contents);
    where[contents] = path;
  }
  for (const auto& [path, contents] : reference.after) where_then[contents] = path;
  if (was != is) problems += "the files' contents are not those before, each once\n";
  std::string bad;
  if (ReplaySuccessLines(run.log, run.before, &bad) != run.after || !bad.empty()) {
    problems += "the success lines do not give the tree on disk: " + bad + "\n";
  }
  std::vector<std::string> named;
  Failures(run.log, &named);
  for (const auto& [contents, path] : where) {
    const std::string& was_at = origin[contents];
    // Named by its path, either path of its move, its folder or its archive.
    const bool is_named = std::any_of(named.begin(), named.end(), [&](const std::string& p) {
      return p == path || p == was_at || (p.ends_with('/') && was_at.starts_with(p));
    });
    if (where_then[contents] != path && !is_named) {
      problems += "no failure line names " + origin[contents] + " (now " + path + ")\n";
    }
  }
  const std::vector<std::string> reference_lines = Lines(reference.log);
  for (const std::string& line : Lines(run.log)) {
    if ((line.starts_with("Renamed: ") || line.starts_with(" Found set: ")) &&
        std::find(reference_lines.begin(), reference_lines.end(), line) == reference_lines.end()) {
      problems += "identified as something else: " + line + "\n";
    }
  }
  if (Rooted(run.next_log) != Rooted(reference.next_log)) {
    problems += "the next command logs:\n" + run.next_log + "instead of\n" + reference.next_log;
  }
  if (Rooted(run.next_after) != Rooted(reference.next_after)) {
    problems += "the next command leaves another tree\n";
  }
  if (run.tmp_final != reference.tmp_final) problems += "tmp holds other files at the end\n";
  return problems;
}

Tree Rooted(const Tree& tree) {
  Tree out;
  for (const auto& [path, contents] : tree) out[Rooted(path)] = contents;
  return out;
}

}  // namespace cartidex::test
