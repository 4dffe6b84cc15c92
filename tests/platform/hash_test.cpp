// The digests against the values of sha1sum and md5sum, given whole and in pieces.
#include "platform/hash.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace cartidex {
namespace {

std::string DigestOf(HashKind kind, const std::string& text, size_t piece) {
  Hasher hasher(kind);
  for (size_t at = 0; at < text.size(); at += piece) {
    EXPECT_TRUE(hasher.Update(text.data() + at, std::min(piece, text.size() - at)));
  }
  Digest digest;
  EXPECT_TRUE(hasher.Finish(&digest));
  EXPECT_EQ(digest.size, DigestSize(kind));
  std::string hex;
  for (uint8_t byte : digest.view())
    hex += {"0123456789abcdef"[byte >> 4], "0123456789abcdef"[byte & 15]};
  return hex;
}

TEST(HasherTest, KnownAnswers) {
  const std::string fox = "The quick brown fox jumps over the lazy dog";
  struct Case {
    HashKind kind;
    std::string text;
    const char* hex;
  } cases[] = {
      {HashKind::kSha1, "", "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
      {HashKind::kSha1, "abc", "a9993e364706816aba3e25717850c26c9cd0d89d"},
      {HashKind::kSha1, fox, "2fd4e1c67a2d28fced849ee1bb76e7391b93eb12"},
      {HashKind::kMd5, "", "d41d8cd98f00b204e9800998ecf8427e"},
      {HashKind::kMd5, "abc", "900150983cd24fb0d6963f7d28e17f72"},
      {HashKind::kMd5, fox, "9e107d9d372bb6826bd81d3542a419d6"},
  };
  for (const Case& c : cases) {
    for (size_t piece : {size_t{1}, size_t{7}, size_t{64}}) {
      EXPECT_EQ(DigestOf(c.kind, c.text, piece), c.hex) << c.text << " in pieces of " << piece;
    }
  }
}

}  // namespace
}  // namespace cartidex
