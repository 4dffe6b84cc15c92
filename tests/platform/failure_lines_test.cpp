#include "platform/failure_lines.h"

#include <gtest/gtest.h>

#include "support/test_util.h"

namespace cartidex::test {
namespace {

TEST(FailureLinesTest, LoggedInOnePieceWithTheBytesOfThePaths) {
  TestHome home;
  const std::string odd = std::string("/r/\xE9t\xE9 -x\nname");
  LogFailure(FailureLine::kMoveFailed, odd, "");
  LogFailure(FailureLine::kCannotRead, odd);
  EXPECT_EQ(home.Log(), " Move failed: " + odd + " To: \r\nCannot read: " + odd + "\r\n");
}

}  // namespace
}  // namespace cartidex::test
