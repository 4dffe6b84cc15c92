// cartidex-cli: the main dialog without a window, for scripts and end-to-end tests.
#include <cstdio>
#include <string>
#include <vector>

#include "app/cli_options.h"
#include "app/cli_runner.h"
#include "platform/console.h"
#include "platform/env.h"

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
  RunCliPlan(plan, [](std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
  });
  return 0;
}
