// cartidex-cli's words (NUL between them), read with the sandbox, which holds a file "rom.bin"
// and a folder "roms", as the start directory. A plan may only press known buttons, with
// absolute and existing paths where they are needed, and set known boxes; a refusal says why.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/cli_options.h"
#include "fuzz_support.h"
#include "platform/dialog_view.h"
#include "platform/env.h"
#include "platform/path.h"

namespace cartidex {
namespace {

// True when some words give this action.
bool Possible(const CliAction& a) {
  const bool absolute = IsAbsolutePath(a.text);
  const FileKind kind = absolute ? Env::Default()->GetKind(a.text) : FileKind::kMissing;
  if (a.kind == CliAction::Kind::kPress) {
    return a.field == 0 && (((a.id == kIdReloadAll || a.id == kIdHelp) && a.text.empty()) ||
                            (a.id == kIdSingleRom && kind == FileKind::kFile) ||
                            (a.id == kIdDirectory && kind == FileKind::kFolder) ||
                            (a.id == kIdGenerate && absolute));
  }
  const bool plain = a.field == 0 && a.text.empty();
  const bool check = a.kind == CliAction::Kind::kCheck;
  return ((a.id == kIdRename || a.id == kIdSubdirs) && plain) ||
         (a.id == kIdMoveKnown && (check ? a.field == kIdMoveKnownField : plain)) ||
         (a.id == kIdMoveUnknown && (check ? a.field == kIdMoveUnknownField : plain));
}

}  // namespace
}  // namespace cartidex

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace cartidex;
  fuzz::EnterSandbox();
  const std::string& start = fuzz::SandboxPath();
  static const bool prepared = WriteWholeFile(Env::Default(), start + "/rom.bin", "r").ok() &&
                               Env::Default()->CreateFolder(start + "/roms").ok();
  fuzz::Check(prepared, "cannot prepare the start directory");
  std::vector<std::string> args(1);
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      args.emplace_back();
    } else {
      args.back().push_back(static_cast<char>(data[i]));
    }
  }
  if (args.back().empty()) args.pop_back();

  CliPlan plan;
  std::string error;
  if (!ParseCliArgs(args, start, &plan, &error)) {
    fuzz::Check(!error.empty(), "a refusal without its reason");
    return 0;
  }
  fuzz::Check(plan.actions.size() <= args.size(), "more actions than words");
  fuzz::Check(plan.home.empty() || IsAbsolutePath(plan.home), "--home not made absolute");
  fuzz::Check(plan.keep_log.empty() || IsAbsolutePath(plan.keep_log), "--keep-log not absolute");
  for (const CliAction& action : plan.actions) {
    fuzz::Check(Possible(action), "an action that no words ask for");
  }
  return 0;
}
