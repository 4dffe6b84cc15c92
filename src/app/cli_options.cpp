#include "app/cli_options.h"

#include <string_view>

#include "platform/dialog_view.h"
#include "platform/env.h"
#include "platform/path.h"

namespace cartidex {

const char kCliUsage[] =
    "usage: cartidex-cli [--home DIR] [--keep-log FILE] [options and commands...]\n"
    "commands: reload | help | single PATH | directory DIR | generate DIR\n"
    "options:  --rename | --no-rename | --subdirs | --no-subdirs |\n"
    "          --move-known TEXT | --no-move-known | --move-unknown TEXT | --no-move-unknown\n";

namespace {

// A relative path is joined to the start directory like any name to its folder: the separator
// only when the folder lacks one (so a start at the root gives "/x", not "//x").
std::string Absolute(const std::string& path, const std::string& cwd) {
  if (IsAbsolutePath(path)) return path;
  return JoinPath(cwd, path);
}

}  // namespace

bool ParseCliArgs(const std::vector<std::string>& args, const std::string& cwd, CliPlan* plan,
                  std::string* error) {
  *plan = CliPlan();
  Env* env = Env::Default();
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& word = args[i];
    // The word's argument, when it takes one.
    auto argument = [&](std::string* value) {
      if (i + 1 >= args.size()) {
        *error = "missing argument after " + word;
        return false;
      }
      *value = args[++i];
      return true;
    };
    auto path_argument = [&](std::string* value) {
      if (!argument(value)) return false;
      if (value->empty()) {
        *error = "empty path after " + word;
        return false;
      }
      *value = Absolute(*value, cwd);
      return true;
    };
    std::string value;
    if (word == "--home") {
      if (!path_argument(&plan->home)) return false;
    } else if (word == "--keep-log") {
      if (!path_argument(&plan->keep_log)) return false;
    } else if (word == "reload") {
      plan->actions.push_back({CliAction::Kind::kPress, kIdReloadAll, 0, ""});
    } else if (word == "help") {
      plan->actions.push_back({CliAction::Kind::kPress, kIdHelp, 0, ""});
    } else if (word == "single") {
      if (!path_argument(&value)) return false;
      if (env->GetKind(value) != FileKind::kFile) {
        *error = "not an existing file: " + value;
        return false;
      }
      plan->actions.push_back({CliAction::Kind::kPress, kIdSingleRom, 0, value});
    } else if (word == "directory") {
      if (!path_argument(&value)) return false;
      if (env->GetKind(value) != FileKind::kFolder) {
        *error = "not an existing folder: " + value;
        return false;
      }
      plan->actions.push_back({CliAction::Kind::kPress, kIdDirectory, 0, value});
    } else if (word == "generate") {
      if (!path_argument(&value)) return false;
      plan->actions.push_back({CliAction::Kind::kPress, kIdGenerate, 0, value});
    } else if (word == "--rename" || word == "--no-rename") {
      plan->actions.push_back(
          {word == "--rename" ? CliAction::Kind::kCheck : CliAction::Kind::kUncheck, kIdRename, 0,
           ""});
    } else if (word == "--subdirs" || word == "--no-subdirs") {
      plan->actions.push_back(
          {word == "--subdirs" ? CliAction::Kind::kCheck : CliAction::Kind::kUncheck, kIdSubdirs, 0,
           ""});
    } else if (word == "--move-known" || word == "--move-unknown") {
      if (!argument(&value)) return false;
      bool known = word == "--move-known";
      plan->actions.push_back({CliAction::Kind::kCheck, known ? kIdMoveKnown : kIdMoveUnknown,
                               known ? kIdMoveKnownField : kIdMoveUnknownField, value});
    } else if (word == "--no-move-known" || word == "--no-move-unknown") {
      plan->actions.push_back({CliAction::Kind::kUncheck,
                               word == "--no-move-known" ? kIdMoveKnown : kIdMoveUnknown, 0, ""});
    } else {
      *error = "unknown word: " + word;
      return false;
    }
  }
  return true;
}

}  // namespace cartidex
