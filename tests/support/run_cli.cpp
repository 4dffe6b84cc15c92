#include "support/run_cli.h"

#include <sys/wait.h>

#include <cstdlib>

#include "support/test_util.h"

namespace cartidex::test {

namespace {

std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) {
    if (c == '\'') {
      q += "'\\''";
    } else {
      q += c;
    }
  }
  return q + "'";
}

}  // namespace

CliRun RunCli(const std::string& cli, const std::vector<std::string>& args,
              const std::string& cwd) {
  TempDir capture;
  std::string command = "cd " + Quote(cwd) + " && " + Quote(cli);
  for (const std::string& a : args) command += " " + Quote(a);
  command += " </dev/null >" + Quote(capture.Path("out")) + " 2>" + Quote(capture.Path("err"));
  CliRun run;
  int raw = std::system(command.c_str());
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  run.out = ReadFile(capture.Path("out"));
  run.err = ReadFile(capture.Path("err"));
  return run;
}

}  // namespace cartidex::test
