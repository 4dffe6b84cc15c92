// Runs the headless program: start-up, the plan's actions, the close, shutdown.
#ifndef CARTIDEX_APP_CLI_RUNNER_H_
#define CARTIDEX_APP_CLI_RUNNER_H_

#include <functional>
#include <string_view>

#include "app/cli_options.h"

namespace cartidex {

// Runs `plan`, handing every piece of output (state blocks, help text) to `out` as it comes.
void RunCliPlan(const CliPlan& plan, const std::function<void(std::string_view)>& out);

}  // namespace cartidex

#endif  // CARTIDEX_APP_CLI_RUNNER_H_
