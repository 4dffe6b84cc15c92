// Runs the headless program: start-up, the plan's actions, the close, shutdown.
#ifndef CARTIDEX_APP_CLI_RUNNER_H_
#define CARTIDEX_APP_CLI_RUNNER_H_

#include <functional>
#include <string_view>

#include "app/cli_options.h"

namespace cartidex {

// Where the headless program's output goes.
struct CliOutput {
  // The state blocks and the help text.
  std::function<void(std::string_view)> out;
  // The summary after each walk, the progress line and what went wrong with the report.
  std::function<void(std::string_view)> err;
  // Whether `err` is a terminal a person watches: only then is there a progress line.
  bool err_is_terminal = false;
};

// Runs `plan`, handing every piece of output to `output` as it comes. Returns the exit status:
// 0, or 1 when a report could not be written (a report that cannot be created stops the run
// before the next action).
int RunCliPlan(const CliPlan& plan, const CliOutput& output);

}  // namespace cartidex

#endif  // CARTIDEX_APP_CLI_RUNNER_H_
