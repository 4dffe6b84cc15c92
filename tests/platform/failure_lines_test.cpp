#include "platform/failure_lines.h"

#include <gtest/gtest.h>

#include "support/test_util.h"

namespace cartidex::test {
namespace {

TEST(FailureLinesTest, EveryLineReadsAsDocumentedAndEndsTheLine) {
  EXPECT_EQ(FailureLineText(FailureLine::kCannotRead, "/r/a b.rom"), "Cannot read: /r/a b.rom\r\n");
  EXPECT_EQ(FailureLineText(FailureLine::kCannotExtract, "/r/p.zip"),
            "Cannot extract: /r/p.zip\r\n");
  EXPECT_EQ(FailureLineText(FailureLine::kCannotList, "/r/"), "Cannot list: /r/\r\n");
  EXPECT_EQ(FailureLineText(FailureLine::kRenameFailed, "/r/a", "/r/b"),
            "Rename failed: /r/a To: /r/b\r\n");
  EXPECT_EQ(FailureLineText(FailureLine::kMoveFailed, "/r/a", "/t/a"),
            " Move failed: /r/a To: /t/a\r\n");
  EXPECT_EQ(FailureLineText(FailureLine::kListNotWritten, "/l/S_have.txt"),
            "List not written: /l/S_have.txt\r\n");
}

TEST(FailureLinesTest, LoggedInOnePieceWithTheBytesOfThePaths) {
  TestHome home;
  const std::string odd = std::string("/r/\xE9t\xE9 -x\nname");
  LogFailure(FailureLine::kMoveFailed, odd, "");
  LogFailure(FailureLine::kCannotRead, odd);
  EXPECT_EQ(home.Log(), " Move failed: " + odd + " To: \r\nCannot read: " + odd + "\r\n");
}

}  // namespace
}  // namespace cartidex::test
