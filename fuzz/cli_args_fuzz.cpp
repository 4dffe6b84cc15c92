// cartidex-cli's words (NUL between them), read with the sandbox, which holds a file "rom.bin"
// and a folder "roms", as the start directory. A refusal says why; a plan has no more actions
// than words, absolute paths, and an existing file or folder for the buttons that open one.
#include <string>
#include <vector>

#include "app/cli_options.h"
#include "fuzz_support.h"
#include "platform/dialog_view.h"
#include "platform/env.h"
#include "platform/path.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace cartidex;
  fuzz::EnterSandbox();
  const std::string& start = fuzz::SandboxPath();
  static const bool prepared = WriteWholeFile(Env::Default(), start + "/rom.bin", "r").ok() &&
                               Env::Default()->CreateFolder(start + "/roms").ok();
  fuzz::Check(prepared, "cannot prepare the start directory");
  std::vector<std::string> args(1);
  for (char c : fuzz::Text(data, size)) {
    if (c == '\0') {
      args.emplace_back();
    } else {
      args.back().push_back(c);
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
  for (const CliAction& a : plan.actions) {
    if (a.kind != CliAction::Kind::kPress) continue;
    const bool opens = a.id == kIdSingleRom || a.id == kIdDirectory || a.id == kIdGenerate;
    fuzz::Check(opens ? IsAbsolutePath(a.text) : a.text.empty(), "a button with a stray path");
    const FileKind kind = Env::Default()->GetKind(a.text);
    fuzz::Check((a.id != kIdSingleRom || kind == FileKind::kFile) &&
                    (a.id != kIdDirectory || kind == FileKind::kFolder),
                "a path that its button cannot open");
  }
  return 0;
}
