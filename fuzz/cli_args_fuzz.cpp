// cartidex-cli's argument reading. The input is the argument list with a NUL after each word,
// read with the sandbox as the start directory; it holds a file "rom.bin" and a folder "roms" so
// that `single` and `directory` can succeed. A plan must only press known buttons with absolute,
// existing paths where they are needed; a refusal must say why; and the same words must always
// give the same answer.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/cli_options.h"
#include "fuzz_sandbox.h"
#include "platform/dialog_view.h"
#include "platform/env.h"
#include "platform/path.h"

namespace cartidex {
namespace {

using fuzz::Check;
using fuzz::Fail;

void PrepareStartDirectory() {
  static bool done = false;
  if (done) return;
  done = true;
  const std::string& root = fuzz::SandboxPath();
  Env* env = Env::Default();
  Check(WriteWholeFile(env, root + "/rom.bin", "rom").ok(), "cannot write rom.bin");
  Check(env->CreateFolder(root + "/roms").ok(), "cannot make roms");
}

bool SamePlan(const CliPlan& a, const CliPlan& b) {
  if (a.home != b.home || a.keep_log != b.keep_log || a.actions.size() != b.actions.size()) {
    return false;
  }
  for (size_t i = 0; i < a.actions.size(); ++i) {
    const CliAction& x = a.actions[i];
    const CliAction& y = b.actions[i];
    if (x.kind != y.kind || x.id != y.id || x.field != y.field || x.text != y.text) return false;
  }
  return true;
}

void CheckAction(const CliAction& action) {
  Env* env = Env::Default();
  switch (action.kind) {
    case CliAction::Kind::kPress:
      Check(action.field == 0, "a press names a field");
      switch (action.id) {
        case kIdReloadAll:
        case kIdHelp:
          Check(action.text.empty(), "a button without chooser carries a text");
          break;
        case kIdSingleRom:
          Check(IsAbsolutePath(action.text) && env->GetKind(action.text) == FileKind::kFile,
                "single without an existing file");
          break;
        case kIdDirectory:
          Check(IsAbsolutePath(action.text) && env->GetKind(action.text) == FileKind::kFolder,
                "directory without an existing folder");
          break;
        case kIdGenerate:
          Check(IsAbsolutePath(action.text), "generate without an absolute folder");
          break;
        default:
          Fail("press of an unknown button");
      }
      break;
    case CliAction::Kind::kCheck:
    case CliAction::Kind::kUncheck: {
      const bool check = action.kind == CliAction::Kind::kCheck;
      if (action.id == kIdMoveKnown || action.id == kIdMoveUnknown) {
        const int field = action.id == kIdMoveKnown ? kIdMoveKnownField : kIdMoveUnknownField;
        Check(action.field == (check ? field : 0), "a move box with the wrong field");
      } else {
        Check(action.id == kIdRename || action.id == kIdSubdirs, "a box that does not exist");
        Check(action.field == 0 && action.text.empty(), "a plain box carries a text");
      }
      break;
    }
  }
}

}  // namespace
}  // namespace cartidex

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace cartidex;
  fuzz::EnterSandbox();
  PrepareStartDirectory();
  std::vector<std::string> args;
  std::string word;
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      args.push_back(std::move(word));
      word.clear();
    } else {
      word.push_back(static_cast<char>(data[i]));
    }
  }
  if (!word.empty()) args.push_back(std::move(word));

  const std::string& cwd = fuzz::SandboxPath();
  CliPlan plan;
  std::string error;
  const bool ok = ParseCliArgs(args, cwd, &plan, &error);
  CliPlan again;
  std::string error_again;
  Check(ParseCliArgs(args, cwd, &again, &error_again) == ok, "the same words, another answer");
  if (!ok) {
    Check(!error.empty() && error == error_again, "a refusal without its reason");
    return 0;
  }
  Check(SamePlan(plan, again), "the same words, another plan");
  Check(plan.actions.size() <= args.size(), "more actions than words");
  Check(plan.home.empty() || IsAbsolutePath(plan.home), "--home not made absolute");
  Check(plan.keep_log.empty() || IsAbsolutePath(plan.keep_log), "--keep-log not made absolute");
  for (const CliAction& action : plan.actions) CheckAction(action);
  fuzz::TakeLog();
  return 0;
}
