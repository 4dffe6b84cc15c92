#include "app/cli_options.h"

#include <optional>
#include <string_view>

#include "platform/dialog_view.h"
#include "platform/env.h"
#include "platform/path.h"

namespace cartidex {

const char kCliUsage[] =
    "usage: cartidex-cli [--home DIR] [--keep-log FILE] [options and commands...]\n"
    "commands: reload | help | single PATH | directory DIR | generate DIR\n"
    "options:  --rename | --no-rename | --subdirs | --no-subdirs |\n"
    "          --move-known TEXT | --no-move-known | --move-unknown TEXT | --no-move-unknown |\n"
    "          --dry-run | --no-dry-run | --fixdat | --no-fixdat | --report FILE\n";

namespace {

using Kind = CliAction::Kind;

// A relative path is joined to the start directory like any name to its folder: the separator
// only when the folder lacks one (so a start at the root gives "/x", not "//x").
std::string Absolute(const std::string& path, const std::string& cwd) {
  if (IsAbsolutePath(path)) return path;
  return JoinPath(cwd, path);
}

// Words without an argument: a button pressed, a check box checked or unchecked, or a setting
// of the headless front-end turned on (`id` 1) or off (0).
struct PlainWord {
  std::string_view word;
  Kind kind;
  int id;
};
constexpr PlainWord kPlainWords[] = {
    {"reload", Kind::kPress, kIdReloadAll},
    {"help", Kind::kPress, kIdHelp},
    {"--rename", Kind::kCheck, kIdRename},
    {"--no-rename", Kind::kUncheck, kIdRename},
    {"--subdirs", Kind::kCheck, kIdSubdirs},
    {"--no-subdirs", Kind::kUncheck, kIdSubdirs},
    {"--no-move-known", Kind::kUncheck, kIdMoveKnown},
    {"--no-move-unknown", Kind::kUncheck, kIdMoveUnknown},
    {"--dry-run", Kind::kDryRun, 1},
    {"--no-dry-run", Kind::kDryRun, 0},
    {"--fixdat", Kind::kFixdat, 1},
    {"--no-fixdat", Kind::kFixdat, 0},
};

// Commands followed by a path, which answers the button's chooser. The path must name an
// existing file or folder when `must_be` says so.
struct PathCommand {
  std::string_view word;
  int id;
  std::optional<FileKind> must_be;
};
constexpr PathCommand kPathCommands[] = {
    {"single", kIdSingleRom, FileKind::kFile},
    {"directory", kIdDirectory, FileKind::kFolder},
    {"generate", kIdGenerate, std::nullopt},
};

// The command line, read one word after another.
class WordReader {
 public:
  WordReader(const std::vector<std::string>& args, const std::string& cwd, std::string* error)
      : args_(args), cwd_(cwd), error_(error) {}

  bool AtEnd() const { return next_ >= args_.size(); }
  const std::string& Take() { return args_[next_++]; }

  // The word after `word` in *value; false, with the error set, when there is none.
  bool Argument(const std::string& word, std::string* value) {
    if (AtEnd()) return Error("missing argument after " + word);
    *value = Take();
    return true;
  }
  // The path after `word`, made absolute; an empty one is an error.
  bool PathArgument(const std::string& word, std::string* value) {
    if (!Argument(word, value)) return false;
    if (value->empty()) return Error("empty path after " + word);
    *value = Absolute(*value, cwd_);
    return true;
  }
  bool Error(std::string message) {
    *error_ = std::move(message);
    return false;
  }

 private:
  const std::vector<std::string>& args_;
  const std::string& cwd_;
  std::string* error_;
  size_t next_ = 0;
};

bool ParsePathCommand(const PathCommand& command, WordReader* words, CliPlan* plan) {
  std::string path;
  if (!words->PathArgument(std::string(command.word), &path)) return false;
  if (command.must_be && Env::Default()->GetKind(path) != *command.must_be) {
    return words->Error(*command.must_be == FileKind::kFile ? "not an existing file: " + path
                                                            : "not an existing folder: " + path);
  }
  plan->actions.push_back({Kind::kPress, command.id, 0, path});
  return true;
}

bool ParseWord(const std::string& word, WordReader* words, CliPlan* plan) {
  for (const PlainWord& plain : kPlainWords) {
    if (word != plain.word) continue;
    plan->actions.push_back({plain.kind, plain.id, 0, ""});
    return true;
  }
  for (const PathCommand& command : kPathCommands) {
    if (word == command.word) return ParsePathCommand(command, words, plan);
  }
  if (word == "--home") return words->PathArgument(word, &plan->home);
  if (word == "--keep-log") return words->PathArgument(word, &plan->keep_log);
  if (word == "--report") {
    std::string path;
    if (!words->PathArgument(word, &path)) return false;
    plan->actions.push_back({Kind::kReport, 0, 0, path});
    return true;
  }
  if (word == "--move-known" || word == "--move-unknown") {
    std::string text;
    if (!words->Argument(word, &text)) return false;
    const bool known = word == "--move-known";
    plan->actions.push_back({Kind::kCheck, known ? kIdMoveKnown : kIdMoveUnknown,
                             known ? kIdMoveKnownField : kIdMoveUnknownField, text});
    return true;
  }
  return words->Error("unknown word: " + word);
}

}  // namespace

bool ParseCliArgs(const std::vector<std::string>& args, const std::string& cwd, CliPlan* plan,
                  std::string* error) {
  *plan = CliPlan();
  WordReader words(args, cwd, error);
  while (!words.AtEnd()) {
    if (!ParseWord(words.Take(), &words, plan)) return false;
  }
  return true;
}

}  // namespace cartidex
