#include "identify/split_crc.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace cartidex {
namespace {

uint32_t Zlib(uint32_t crc, const std::vector<unsigned char>& data, size_t from, size_t size) {
  return static_cast<uint32_t>(crc32(crc, data.data() + from, static_cast<uInt>(size)));
}

TEST(SplitCrcTest, KnownAnswers) {
  const std::string check = "123456789";
  EXPECT_EQ(Crc32Split(0, reinterpret_cast<const unsigned char*>(check.data()), check.size()),
            0xCBF43926u);
  EXPECT_EQ(Crc32Split(0, nullptr, 0), 0u);
  // Large enough to be split: a megabyte of zeros and one of 0xFF.
  std::vector<unsigned char> zeros(1 << 20, 0), ones(1 << 20, 0xFF);
  EXPECT_EQ(Crc32Split(0, zeros.data(), zeros.size()), Zlib(0, zeros, 0, zeros.size()));
  EXPECT_EQ(Crc32Split(0, ones.data(), ones.size()), Zlib(0, ones, 0, ones.size()));
}

// Sizes on both sides of the split, odd halves, values carried in from an earlier piece, and
// pieces of one buffer chained as a file is read: always zlib's value over the whole.
TEST(SplitCrcTest, AgreesWithZlibOnEverySizeAndSplit) {
  std::mt19937 rng(99);
  std::vector<unsigned char> data(300 * 1024);
  for (unsigned char& b : data) b = static_cast<unsigned char>(rng());
  const size_t sizes[] = {
      1,     7,      kSplitCrcSize - 1, kSplitCrcSize, kSplitCrcSize + 1, 65535, 65536,
      65537, 131071, data.size() - 3};
  for (size_t size : sizes) {
    for (uint32_t carried : {0u, 0xFFFFFFFFu, static_cast<uint32_t>(rng())}) {
      const size_t from = rng() % (data.size() - size + 1);
      ASSERT_EQ(Crc32Split(carried, data.data() + from, size), Zlib(carried, data, from, size))
          << "size " << size << " from " << from;
    }
  }
  uint32_t chained = 0;
  for (size_t at = 0; at < data.size();) {
    const size_t piece = std::min(data.size() - at, static_cast<size_t>(1 + rng() % 90000));
    chained = Crc32Split(chained, data.data() + at, piece);
    at += piece;
  }
  EXPECT_EQ(chained, Zlib(0, data, 0, data.size()));
}

// The helper looks, naps, then sleeps when not asked for a while, and must come back from each
// of these; calls from two threads at once must each get their own value.
TEST(SplitCrcTest, AfterPausesAndFromTwoThreads) {
  std::vector<unsigned char> data(96 * 1024);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<unsigned char>(i * 31 + 7);
  const uint32_t want = Zlib(0, data, 0, data.size());
  for (int pause_us : {0, 20, 200, 2000, 8000, 8000}) {
    std::this_thread::sleep_for(std::chrono::microseconds(pause_us));
    // The first piece after a pause goes alone and wakes the helper for the next ones.
    for (int piece = 0; piece < 3; ++piece) {
      EXPECT_EQ(Crc32Split(0, data.data(), data.size()), want) << pause_us << " " << piece;
    }
  }
  std::vector<uint32_t> got(2);
  auto work = [&](size_t t) {
    for (int i = 0; i < 200; ++i) {
      const uint32_t value = Crc32Split(0, data.data(), data.size());
      if (value != want) got[t] = value;
    }
  };
  std::thread other(work, 1);
  work(0);
  other.join();
  EXPECT_EQ(got[0], 0u);
  EXPECT_EQ(got[1], 0u);
}

}  // namespace
}  // namespace cartidex
