// cartidex-cli's words: each list of words against the plan it gives, written as text, or its
// refusal. In the table "@" stands for the start directory and its separator.
#include "app/cli_options.h"

#include <gtest/gtest.h>

#include "support/test_util.h"

namespace cartidex::test {
namespace {

// "home H | keep K | press 1001 TEXT | check 1020/1021 TEXT | uncheck 1018", or "error: ...".
std::string Outcome(const std::vector<std::string>& args, const std::string& start) {
  CliPlan plan;
  std::string error;
  if (!ParseCliArgs(args, start, &plan, &error)) return "error: " + error;
  std::string out = "home " + plan.home + " | keep " + plan.keep_log;
  for (const CliAction& a : plan.actions) {
    out += a.kind == CliAction::Kind::kPress   ? " | press "
           : a.kind == CliAction::Kind::kCheck ? " | check "
                                               : " | uncheck ";
    out += std::to_string(a.id) + (a.field != 0 ? "/" + std::to_string(a.field) : "");
    out += a.text.empty() ? "" : " " + a.text;
  }
  return out;
}

TEST(CliOptionsTest, WordsGiveTheirPlanOrTheReasonForRefusal) {
  TempDir start;
  for (const char* file : {"rom.bin", "-rom.bin", "--rename", "odd name \xC3\xA9.bin"}) {
    WriteFile(start.Path(file), "r");
  }
  MakeDirs(start.Path("roms"));
  const std::string roms_up = NativePath("./roms/../roms");
  const struct {
    std::vector<std::string> args;
    std::string want;
  } kCases[] = {
      {{}, "home  | keep "},
      // Relative paths are made absolute; options apply in order; --home counts wherever it is.
      {{"--keep-log", "k.txt", "single", "rom.bin", "directory", roms_up, "generate", "lists",
        "single", start.Path("rom.bin"), "--home", "a", "--home", "b"},
       "home @b | keep @k.txt | press 1001 @rom.bin | press 1014 @" + roms_up +
           " | press 1032 @lists | press 1001 @rom.bin"},
      {{"--rename", "--no-rename", "--move-known", "<system>\\<c1>", "--subdirs", "--move-unknown",
        "", "--no-move-known", "--no-subdirs", "--no-move-unknown", "reload", "help"},
       "home  | keep  | check 1018 | uncheck 1018 | check 1020/1021 <system>\\<c1> | check 1026 | "
       "check 1024/1023 | uncheck 1020 | uncheck 1026 | uncheck 1024 | press 1019 | press 1027"},
      // The word after a command is its argument, whatever it looks like.
      {{"single", "-rom.bin", "single", "--rename", "single", "odd name \xC3\xA9.bin",
        "--move-known", "--rename", "generate", "-o"},
       "home  | keep  | press 1001 @-rom.bin | press 1001 @--rename | press 1001 @odd name "
       "\xC3\xA9.bin | check 1020/1021 --rename | press 1032 @-o"},
      {{"reload", "directory"}, "error: missing argument after directory"},
      {{"--keep-log"}, "error: missing argument after --keep-log"},
      {{"--rename", "--move-unknown"}, "error: missing argument after --move-unknown"},
      {{"--home", ""}, "error: empty path after --home"},
      {{"generate", ""}, "error: empty path after generate"},
      {{"single", "roms"}, "error: not an existing file: @roms"},
      {{"directory", "rom.bin"}, "error: not an existing folder: @rom.bin"},
      {{"reload", "--Rename"}, "error: unknown word: --Rename"},
      {{""}, "error: unknown word: "},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(Outcome(c.args, start.path()), ReplaceAll(c.want, "@", start.Path("")));
  }
  // At the root the start directory gets no second separator.
  EXPECT_EQ(Outcome({"generate", "x"}, "/"), "home  | keep  | press 1032 /x");
}

}  // namespace
}  // namespace cartidex::test
