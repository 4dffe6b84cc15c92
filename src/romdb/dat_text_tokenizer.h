// The tokens of the ClrMamePro text format: '(' and ')', quoted texts ("..." without escapes,
// possibly over several lines) and bare words (any run of bytes other than blanks, control bytes,
// parentheses and quotes). Each token knows the line where it begins.
#ifndef CARTIDEX_ROMDB_DAT_TEXT_TOKENIZER_H_
#define CARTIDEX_ROMDB_DAT_TEXT_TOKENIZER_H_

#include <cstdint>
#include <string_view>

namespace cartidex {

enum class TokenKind { kEnd, kOpen, kClose, kWord, kUnclosedQuote };

struct Token {
  TokenKind kind = TokenKind::kEnd;
  std::string_view text;  // a word's text, quotes removed
  uint64_t line = 0;      // counted from 1
};

class DatTokenizer {
 public:
  // A leading UTF-8 byte-order mark is skipped. Lines end at CR LF, a lone CR or a lone LF.
  explicit DatTokenizer(std::string_view text);

  // The next token; kEnd at the end of the text and from then on.
  Token Next();

 private:
  // Counts the line end at pos_ (if any) and steps over it.
  void StepOver();

  std::string_view text_;
  size_t pos_ = 0;
  uint64_t line_ = 1;
};

}  // namespace cartidex

#endif  // CARTIDEX_ROMDB_DAT_TEXT_TOKENIZER_H_
