// cartidex-cli: the main dialog without a window, for scripts and end-to-end tests.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/cli_options.h"
#include "app/cli_runner.h"
#include "app/startup.h"
#include "platform/console.h"
#include "platform/env.h"
#include "platform/program_folder.h"

namespace {

// The exit status when another process holds the program folder (2 is bad usage).
constexpr int kExitFolderInUse = 3;

}  // namespace

int main(int argc, char** argv) {
  using namespace cartidex;
  SetConsoleBinary();
  std::vector<std::string> args(argv + 1, argv + argc);
  CliPlan plan;
  std::string error;
  if (!ParseCliArgs(args, Env::Default()->GetCurrentDirectory(), &plan, &error)) {
    std::fprintf(stderr, "cartidex-cli: %s\n%s", error.c_str(), kCliUsage);
    return 2;
  }
  // One Cartidex at a time on a program folder: a second would empty the first one's scratch
  // folder and delete its log.
  std::unique_ptr<FolderLock> lock;
  if (!ClaimProgramFolder(plan.home, &lock)) {
    std::fprintf(stderr, "cartidex-cli: another Cartidex is running in %s\n",
                 ProgramFolder().c_str());
    return kExitFolderInUse;
  }
  CliOutput output;
  output.out = [](std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
  };
  output.err = [](std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
  };
  output.err_is_terminal = StderrIsTerminal();
  return RunCliPlan(plan, output);
}
