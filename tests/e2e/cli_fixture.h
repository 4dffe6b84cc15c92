// What the end-to-end tests share: a program folder and a folder to start cartidex-cli from, a
// run that keeps its log, and the texts every run prints and logs.
#ifndef CARTIDEX_TESTS_E2E_CLI_FIXTURE_H_
#define CARTIDEX_TESTS_E2E_CLI_FIXTURE_H_

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "support/test_util.h"
#include "support/zip_writer.h"

namespace cartidex::test {

using Lines = std::vector<std::string>;
using Files = std::map<std::string, std::string>;

inline constexpr char kQuitted[] = "Cartidex quitted";

// The log up to the dialog, after loading `datafiles`.
inline std::string StartLog(const Lines& datafiles) {
  std::string log =
      "Cartidex starting\r\nCartidex intialised\r\nRedirection installed\r\n"
      "Directory \"tmp\" emptied\r\nLoading datafiles :\r\n";
  for (const std::string& name : datafiles) log += " - " + name + "\r\n";
  return log + "Datafiles loaded\r\nShowing dialogbox\r\n\r\n";
}

inline std::string Fields(int sets, const std::string& file = "", const std::string& name = "",
                          const std::string& system = "", const std::string& crc = "",
                          const std::string& size = "") {
  return "Filename: " + file + "\nName: " + name + "\nSystem: " + system + "\nCRC32: " + crc +
         "\nSize: " + size + "\nInfo: " + (sets > 0 ? std::to_string(sets) : "No") +
         " roms in database\n\n";
}

inline Files Contents(const std::string& root) {
  Files files;
  for (const std::string& rel : ListTree(root)) files[rel] = ReadFile(root + "/" + rel);
  return files;
}

class CliTest : public ::testing::Test {
 protected:
  // cartidex-cli run from `work`, its program folder `home`; run.log is the log it kept.
  CliRun Cli(std::vector<std::string> args, int status = 0) {
    args.insert(args.begin(), {"--home", home.path(), "--keep-log", keep.Path("log")});
    CliRun run = RunCli(CARTIDEX_CLI, args, work.path());
    EXPECT_EQ(run.status, status) << run.err;
    if (Exists(keep.Path("log"))) run.log = ReadFile(keep.Path("log"));
    return run;
  }
  std::string Member(const std::string& name, const std::string& contents, bool found) const {
    return "  - " + OpenedLine(home.Path("tmp/" + name), contents, found);
  }

  TempDir home, work, keep;
};

}  // namespace cartidex::test

#endif  // CARTIDEX_TESTS_E2E_CLI_FIXTURE_H_
