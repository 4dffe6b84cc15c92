#include "romdb/dat_text_tokenizer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace cartidex {
namespace {

// Each token as "KIND@LINE" or "TEXT@LINE".
std::vector<std::string> Tokens(std::string_view text) {
  DatTokenizer tokens(text);
  std::vector<std::string> out;
  for (;;) {
    Token t = tokens.Next();
    std::string line = "@" + std::to_string(t.line);
    switch (t.kind) {
      case TokenKind::kEnd:
        return out;
      case TokenKind::kOpen:
        out.push_back("(" + line);
        break;
      case TokenKind::kClose:
        out.push_back(")" + line);
        break;
      case TokenKind::kWord:
        out.push_back("[" + std::string(t.text) + "]" + line);
        break;
      case TokenKind::kUnclosedQuote:
        out.push_back("UNCLOSED" + line);
        return out;
    }
  }
}

TEST(DatTokenizerTest, QuotedAndBareWordsAndParentheses) {
  EXPECT_EQ(Tokens("game (name \"A (B) C\" size 16)"),
            (std::vector<std::string>{"[game]@1", "(@1", "[name]@1", "[A (B) C]@1", "[size]@1",
                                      "[16]@1", ")@1"}));
  // A bare word stops at a parenthesis or a quote; an empty quoted text is a word.
  EXPECT_EQ(Tokens("a(b)\"\"c"),
            (std::vector<std::string>{"[a]@1", "(@1", "[b]@1", ")@1", "[]@1", "[c]@1"}));
}

TEST(DatTokenizerTest, LinesAreCountedForEveryKindOfLineEnd) {
  // CR LF, lone LF and lone CR each end one line; a quoted text may span lines.
  EXPECT_EQ(
      Tokens("\xEF\xBB\xBF"
             "a\r\nb\nc\rd \"x\ny\" e\n\n\tf"),
      (std::vector<std::string>{"[a]@1", "[b]@2", "[c]@3", "[d]@4", "[x\ny]@4", "[e]@5", "[f]@7"}));
}

TEST(DatTokenizerTest, AnUnclosedQuoteIsReported) {
  EXPECT_EQ(Tokens("name \"broken\n)"), (std::vector<std::string>{"[name]@1", "UNCLOSED@1"}));
}

}  // namespace
}  // namespace cartidex
