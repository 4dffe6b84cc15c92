#include "romdb/line_cut.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace cartidex {
namespace {

// The line's fields the plain way: split at the line end, then at ';', then at ':'.
struct Expected {
  std::vector<std::vector<std::string>> groups;  // the first three
  size_t end;
};

Expected Reference(const std::string& text, size_t start) {
  Expected e;
  e.end = text.find_first_of(std::string("\r\n\0", 3), start);
  if (e.end == std::string::npos) e.end = text.size();
  const std::string line = text.substr(start, e.end - start);
  std::vector<std::string> groups(1);
  for (char c : line) {
    if (c == ';') {
      groups.emplace_back();
    } else {
      groups.back() += c;
    }
  }
  for (size_t g = 0; g < groups.size() && g < 3; ++g) {
    std::vector<std::string> fields(1);
    for (char c : groups[g]) {
      if (c == ':') {
        fields.emplace_back();
      } else {
        fields.back() += c;
      }
    }
    e.groups.push_back(fields);
  }
  return e;
}

void ExpectCut(const LineCut& cut, const std::string& text, size_t start) {
  const Expected want = Reference(text, start);
  ASSERT_EQ(cut.end(), want.end);
  ASSERT_EQ(cut.group_count(), want.groups.size());
  for (size_t g = 0; g < 3; ++g) {
    const size_t count = g < want.groups.size() ? want.groups[g].size() : 0;
    ASSERT_EQ(cut.field_count(g), count) << "group " << g;
    for (size_t i = 0; i < count; ++i) {
      ASSERT_EQ(cut.field(g, i), want.groups[g][i]) << "group " << g << " field " << i;
    }
  }
}

// Random lines over the bytes that matter, at every offset and length, so that separators,
// the third ';' and the line end fall at every place of a block and in the bytes after the last
// whole block.
TEST(LineCutTest, AgreesWithAPlainSplitOnRandomLines) {
  std::mt19937 rng(2026);
  const std::string bytes = std::string("aaaaaaaaaabc:::;;", 17) + std::string("\r\n\0", 3);
  LineCut cut;  // one cut for every line, as a load uses it
  for (int round = 0; round < 20000; ++round) {
    std::string text;
    const size_t size = rng() % 120;
    const bool rare_ends = round % 2 == 0;
    for (size_t i = 0; i < size; ++i) {
      size_t pick = rng() % bytes.size();
      if (rare_ends && pick >= bytes.size() - 3 && rng() % 8 != 0) pick = 0;
      text += bytes[pick];
    }
    const size_t start = size == 0 ? 0 : rng() % (size + 1);
    cut.Cut(text, start);
    ExpectCut(cut, text, start);
    if (HasFatalFailure()) {
      ADD_FAILURE() << "text of " << text.size() << " bytes from " << start << ": " << text;
      return;
    }
  }
}

// Lines with many fields (more than the room the cut starts with), and groups after the third
// that only count.
TEST(LineCutTest, LongLinesAndLaterGroups) {
  LineCut cut;
  std::string names = "Set", sizes, crcs;
  for (int i = 0; i < 3000; ++i) {
    names += ":rom" + std::to_string(i);
    sizes += ":" + std::to_string(i);
    crcs += ":" + std::to_string(i * 7);
  }
  const std::string line = names + ";" + sizes + ";" + crcs + ";extra:x;more\r\nnext";
  cut.Cut(line, 0);
  ExpectCut(cut, line, 0);
  EXPECT_EQ(cut.field_count(0), 3001u);
  EXPECT_EQ(cut.field(2, 3000), std::to_string(2999 * 7));

  const std::string short_line = "a;b;c;d;e:f;g";
  cut.Cut(short_line, 0);
  ExpectCut(cut, short_line, 0);
  EXPECT_EQ(cut.group_count(), 3u);
  EXPECT_EQ(cut.end(), short_line.size());
}

}  // namespace
}  // namespace cartidex
