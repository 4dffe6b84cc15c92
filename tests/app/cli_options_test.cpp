#include "app/cli_options.h"

#include <gtest/gtest.h>

#include "platform/dialog_view.h"
#include "support/test_util.h"

namespace cartidex {
namespace {

using test::TempDir;
using Kind = CliAction::Kind;

// "press 1001 TEXT", "check 1020/1021 TEXT", "uncheck 1018", one per action.
std::vector<std::string> Steps(const CliPlan& plan) {
  std::vector<std::string> out;
  for (const CliAction& a : plan.actions) {
    std::string s = a.kind == Kind::kPress   ? "press "
                    : a.kind == Kind::kCheck ? "check "
                                             : "uncheck ";
    s += std::to_string(a.id);
    if (a.field != 0) s += "/" + std::to_string(a.field);
    if (!a.text.empty()) s += " " + a.text;
    out.push_back(s);
  }
  return out;
}

#ifndef _WIN32
const char kOddName[] = "odd name\n\xE9.bin";
#else
// No control byte can be in a name here, and names are UTF-8.
const char kOddName[] = "odd name \xC3\xA9.bin";
#endif

// A start directory with a file "rom.bin", a folder "roms" and files whose names begin with
// dashes or hold blanks, line ends and non-ASCII bytes.
class CliOptionsTest : public ::testing::Test {
 protected:
  CliOptionsTest() {
    test::WriteFile(start_.Path("rom.bin"), "r");
    test::MakeDirs(start_.Path("roms"));
    test::WriteFile(start_.Path("-rom.bin"), "r");
    test::WriteFile(start_.Path("--rename"), "r");
    test::WriteFile(start_.Path(kOddName), "r");
    test::MakeDirs(start_.Path("-d"));
  }

  bool Parse(const std::vector<std::string>& args) {
    error_.clear();
    return ParseCliArgs(args, start_.path(), &plan_, &error_);
  }
  std::string In(std::string_view name) const { return start_.Path(name); }

  TempDir start_;
  CliPlan plan_;
  std::string error_;
};

TEST_F(CliOptionsTest, RelativePathsArePrefixedWithTheStartDirectory) {
  TempDir other;
  test::WriteFile(other.Path("abs.bin"), "a");
  // Relative paths as this platform's user types them.
  const std::string kept = test::NativePath("logs/kept.txt");
  const std::string roms = test::NativePath("./roms/../roms");
  ASSERT_TRUE(Parse({"--home", "home", "--keep-log", kept, "single", "rom.bin", "directory", "roms",
                     "generate", "lists", "single", other.Path("abs.bin"), "directory", roms}))
      << error_;
  EXPECT_EQ(plan_.home, In("home"));
  EXPECT_EQ(plan_.keep_log, In(kept));
  EXPECT_EQ(Steps(plan_), (std::vector<std::string>{
                              "press 1001 " + In("rom.bin"), "press 1014 " + In("roms"),
                              "press 1032 " + In("lists"), "press 1001 " + other.Path("abs.bin"),
                              "press 1014 " + In(roms)}));
  // The home and the lists' folder need not exist yet.
  EXPECT_FALSE(test::Exists(In("home")));
}

TEST_F(CliOptionsTest, TheRootAsStartDirectoryGetsNoSecondSeparator) {
  CliPlan plan;
  std::string error;
  ASSERT_TRUE(ParseCliArgs({"generate", "lists", "--home", "h"}, "/", &plan, &error)) << error;
  EXPECT_EQ(Steps(plan), std::vector<std::string>{"press 1032 /lists"});
  EXPECT_EQ(plan.home, "/h");
#ifdef _WIN32
  ASSERT_TRUE(ParseCliArgs({"generate", "lists", "--home", "h"}, "C:\\", &plan, &error)) << error;
  EXPECT_EQ(Steps(plan), std::vector<std::string>{"press 1032 C:\\lists"});
  EXPECT_EQ(plan.home, "C:\\h");
#endif
}

TEST_F(CliOptionsTest, OptionsStandAnywhereAndApplyInOrder) {
  ASSERT_TRUE(
      Parse({"--rename", "single", "rom.bin", "--no-rename", "--move-known", "<system>\\<c1>",
             "--subdirs", "directory", "roms", "--move-unknown", "", "--no-move-known",
             "--no-subdirs", "--no-move-unknown", "reload", "help", "--home", "late"}))
      << error_;
  EXPECT_EQ(Steps(plan_),
            (std::vector<std::string>{"check 1018", "press 1001 " + In("rom.bin"), "uncheck 1018",
                                      "check 1020/1021 <system>\\<c1>", "check 1026",
                                      "press 1014 " + In("roms"), "check 1024/1023", "uncheck 1020",
                                      "uncheck 1026", "uncheck 1024", "press 1019", "press 1027"}));
  // --home counts wherever it stands; the last one wins.
  EXPECT_EQ(plan_.home, In("late"));
  ASSERT_TRUE(Parse({"--home", "a", "--home", "b"}));
  EXPECT_EQ(plan_.home, In("b"));
  EXPECT_TRUE(plan_.actions.empty());
  // No words: start-up and close only.
  ASSERT_TRUE(Parse({}));
  EXPECT_TRUE(plan_.actions.empty());
  EXPECT_TRUE(plan_.home.empty() && plan_.keep_log.empty());
}

TEST_F(CliOptionsTest, AWordAfterACommandIsItsArgumentWhateverItLooksLike) {
  ASSERT_TRUE(Parse({"single", "-rom.bin", "single", "--rename", "directory", "-d", "single",
                     kOddName, "--move-known", "--rename", "generate", "-o"}))
      << error_;
  EXPECT_EQ(Steps(plan_), (std::vector<std::string>{
                              "press 1001 " + In("-rom.bin"), "press 1001 " + In("--rename"),
                              "press 1014 " + In("-d"), "press 1001 " + In(kOddName),
                              "check 1020/1021 --rename", "press 1032 " + In("-o")}));
}

TEST_F(CliOptionsTest, BadUsageIsRefusedWithItsReason) {
  const struct {
    std::vector<std::string> args;
    std::string error;
  } cases[] = {
      {{"single"}, "missing argument after single"},
      {{"reload", "directory"}, "missing argument after directory"},
      {{"generate"}, "missing argument after generate"},
      {{"--home"}, "missing argument after --home"},
      {{"--keep-log"}, "missing argument after --keep-log"},
      {{"--move-known"}, "missing argument after --move-known"},
      {{"--rename", "--move-unknown"}, "missing argument after --move-unknown"},
      {{"single", ""}, "empty path after single"},
      {{"--home", ""}, "empty path after --home"},
      {{"generate", ""}, "empty path after generate"},
      {{"single", "roms"}, "not an existing file: " + In("roms")},
      {{"single", "missing.bin"}, "not an existing file: " + In("missing.bin")},
      {{"directory", "rom.bin"}, "not an existing folder: " + In("rom.bin")},
      {{"directory", "nowhere"}, "not an existing folder: " + In("nowhere")},
      {{"reload", "--Rename"}, "unknown word: --Rename"},
      {{"Single", "rom.bin"}, "unknown word: Single"},
      {{"-h"}, "unknown word: -h"},
      {{""}, "unknown word: "},
      {{"rom.bin"}, "unknown word: rom.bin"},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(Parse(c.args)) << c.error;
    EXPECT_EQ(error_, c.error);
  }
}

}  // namespace
}  // namespace cartidex
