// cartidex-cli's words (NUL between them), read with the sandbox, which holds a file "rom.bin"
// and a folder "roms", as the start directory. A refusal says why; a plan has no more actions
// than words, absolute paths, and an existing file or folder for the buttons that open one.
#include <algorithm>
#include <string>
#include <vector>

#include "app/cli_options.h"
#include "fuzz_support.h"
#include "platform/dialog_view.h"
#include "platform/env.h"
#include "platform/path.h"

void cartidex::fuzz::FuzzOne(std::string_view input) {
  const std::string& start = SandboxPath();
  static const bool prepared = WriteWholeFile(Env::Default(), start + "/rom.bin", "r").ok() &&
                               Env::Default()->CreateFolder(start + "/roms").ok();
  Check(prepared, "cannot prepare the start directory");
  std::vector<std::string> args;
  while (!input.empty()) {
    const size_t end = std::min(input.find('\0'), input.size());
    args.emplace_back(input.substr(0, end));
    input.remove_prefix(std::min(end + 1, input.size()));
  }

  CliPlan plan;
  std::string error;
  if (!ParseCliArgs(args, start, &plan, &error))
    return Check(!error.empty(), "a refusal, no reason");
  Check(plan.actions.size() <= args.size(), "more actions than words");
  Check(plan.home.empty() || IsAbsolutePath(plan.home), "--home not made absolute");
  Check(plan.keep_log.empty() || IsAbsolutePath(plan.keep_log), "--keep-log not absolute");
  for (const CliAction& a : plan.actions) {
    if (a.kind != CliAction::Kind::kPress) continue;
    const bool opens = a.id == kIdSingleRom || a.id == kIdDirectory || a.id == kIdGenerate;
    Check(opens ? IsAbsolutePath(a.text) : a.text.empty(), "a button with a stray path");
    const FileKind kind = Env::Default()->GetKind(a.text);
    Check((a.id != kIdSingleRom || kind == FileKind::kFile) &&
              (a.id != kIdDirectory || kind == FileKind::kFolder),
          "a path that its button cannot open");
  }
}
