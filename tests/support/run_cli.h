// Runs cartidex-cli as a user would from a shell, and captures what it prints.
#ifndef CARTIDEX_TESTS_SUPPORT_RUN_CLI_H_
#define CARTIDEX_TESTS_SUPPORT_RUN_CLI_H_

#include <string>
#include <vector>

namespace cartidex::test {

struct CliRun {
  int status = -1;
  std::string out, err;
  std::string log;  // the log the run kept, when the caller reads it
};

// Runs `cli` with `args` from the folder `cwd`, its input empty.
CliRun RunCli(const std::string& cli, const std::vector<std::string>& args, const std::string& cwd);

}  // namespace cartidex::test

#endif  // CARTIDEX_TESTS_SUPPORT_RUN_CLI_H_
