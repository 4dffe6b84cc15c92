// Ends a test program's output with the line "N passed, N failed" that the Windows stage adds up.
#include <gtest/gtest.h>

#include <cstdio>

namespace {

class SummaryLine : public testing::EmptyTestEventListener {
  void OnTestProgramEnd(const testing::UnitTest& unit) override {
    std::printf("%d passed, %d failed\n", unit.successful_test_count(), unit.failed_test_count());
    std::fflush(stdout);
  }
};

// Installed before main runs, so that the stock gtest_main needs no change.
const bool kInstalled =
    (testing::UnitTest::GetInstance()->listeners().Append(new SummaryLine), true);

}  // namespace
