#include "support/fault_scenario.h"

#include <algorithm>
#include <filesystem>
#include <set>

#include "platform/dialog_view.h"
#include "romdb/datafile_loader.h"

namespace cartidex::test {

namespace {

constexpr const char* kFailureHeads[] = {"Cannot read: ",
                                         "Cannot extract: ",
                                         "Cannot list: ",
                                         "Rename failed: ",
                                         " Move failed: ",
                                         "List not written: ",
                                         "Not a folder of its own: ", "Too large to load: "};

std::vector<std::string> Lines(const std::string& log) {
  std::vector<std::string> lines;
  for (size_t start = 0; start < log.size();) {
    const size_t end = std::min(log.find("\r\n", start), log.size());
    lines.push_back(log.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

// The run's folder as "HOME", and on Windows the separators the program writes as '/', so that
// paths from the log, the fields and the disk read alike on every platform.
std::string Homed(std::string text, const std::string& home) {
  text = ReplaceAll(std::move(text), home, "HOME");
#ifdef _WIN32
  std::replace(text.begin(), text.end(), '\\', '/');
#endif
  return text;
}

// Every file below `root` (none when it is missing), its path Homed.
Tree HomedTree(const std::string& root, const std::string& home) {
  Tree tree;
  if (!Exists(root)) return tree;
  for (const std::string& rel : ListTree(root)) {
    tree[Homed(root + "/" + rel, home)] = ReadFile(root + "/" + rel);
  }
  return tree;
}

// A failure line, and the archive whose member it concerns when it stands in an archive's list.
struct NamedFailure {
  std::string line;
  std::string archive;
};

std::vector<NamedFailure> NamedFailures(const std::string& log) {
  std::vector<NamedFailure> failures;
  std::string archive;
  for (std::string line : Lines(log)) {
    if (line.starts_with("File unzipped: ")) archive = line.substr(15);
    const bool member = line.starts_with("  - ");
    if (member) line = line.substr(4);
    for (const char* head : kFailureHeads) {
      if (line.starts_with(head)) failures.push_back({line, member ? archive : std::string()});
    }
  }
  return failures;
}

// True when a failure line names the file that was at `was_at` and is at `now`: by either path,
// by the folder that held it, or by the archive it was a member of.
bool FailureNames(const std::vector<NamedFailure>& failures, const std::string& was_at,
                  const std::string& now) {
  for (const NamedFailure& failure : failures) {
    const std::string& line = failure.line;
    const size_t head = line.find(": ") + 2;
    const size_t to = line.find(" To: ", head);
    std::vector<std::string> paths = {line.substr(head, to - head), failure.archive};
    if (to != std::string::npos) paths.push_back(line.substr(to + 5));
    for (const std::string& path : paths) {
      if (!path.empty() &&
          (path == now || path == was_at || (path.back() == '/' && was_at.starts_with(path)))) {
        return true;
      }
    }
  }
  return false;
}

}  // namespace

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  if (from.empty()) return text;
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

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
    tree.erase(from_path);
  }
  return tree;
}

std::vector<std::string> FailureLines(const std::string& log) {
  std::vector<std::string> failures;
  for (const NamedFailure& f : NamedFailures(log)) failures.push_back(f.line);
  return failures;
}

RunOutcome RunWithFault(const FaultScenario& scenario, int fail_call) {
  return RunWithFault(scenario, [fail_call](FaultEnv* env) {
    if (fail_call > 0) env->FailCall(fail_call);
  });
}

RunOutcome RunWithFault(const FaultScenario& scenario, const std::function<void(FaultEnv*)>& arm) {
  RunOutcome out;
  TestHome home;
  const std::string& h = home.path();
  scenario.prepare_home(&home);
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
  for (const auto& [path, contents] : run.before) was.insert(contents);
  for (const auto& [path, contents] : run.after) is.insert(contents);
  if (was != is) problems += "the files' contents are not those before, each once\n";

  std::string bad;
  const Tree promised = ReplaySuccessLines(run.log, run.before, &bad);
  if (!bad.empty()) problems += "success line that did not happen: " + bad + "\n";
  if (promised != run.after) problems += "the success lines do not give the tree on disk\n";

  // Where each file (by contents) ended, with and without the fault.
  std::map<std::string, std::string> where, where_then, origin;
  for (const auto& [path, contents] : run.after) where[contents] = path;
  for (const auto& [path, contents] : reference.after) where_then[contents] = path;
  for (const auto& [path, contents] : run.before) origin[contents] = path;
  const std::vector<NamedFailure> failures = NamedFailures(run.log);
  for (const auto& [contents, path] : where) {
    if (where_then.count(contents) != 0 && where_then[contents] == path) continue;
    if (!FailureNames(failures, origin[contents], path)) {
      problems += "no failure line names " + origin[contents] + " (now " + path + ")\n";
    }
  }
  // A failure never makes a file pass for what it is not.
  const std::vector<std::string> reference_lines = Lines(reference.log);
  for (const std::string& line : Lines(run.log)) {
    if ((line.starts_with("Renamed: ") || line.starts_with(" Found set: ")) &&
        std::find(reference_lines.begin(), reference_lines.end(), line) == reference_lines.end()) {
      problems += "identified as something else: " + line + "\n";
    }
  }

  if (Rooted(run.next_log) != Rooted(reference.next_log)) {
    problems +=
        "the next command logs differently:\n" + run.next_log + "instead of\n" + reference.next_log;
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

std::string Rooted(const std::string& log) {
  return ReplaceAll(ReplaceAll(log, "HOME/first/", "ROOT/"), "HOME/second/", "ROOT/");
}

}  // namespace cartidex::test
