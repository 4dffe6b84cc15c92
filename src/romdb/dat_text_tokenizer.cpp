#include "romdb/dat_text_tokenizer.h"

namespace cartidex {

namespace {

bool IsBlank(unsigned char c) {
  return c <= ' ' || c == 0x7F;
}

}  // namespace

DatTokenizer::DatTokenizer(std::string_view text) : text_(text) {
  if (text_.starts_with("\xEF\xBB\xBF")) pos_ = 3;
}

void DatTokenizer::StepOver() {
  const char c = text_[pos_++];
  if (c == '\n' || (c == '\r' && (pos_ >= text_.size() || text_[pos_] != '\n'))) ++line_;
}

Token DatTokenizer::Next() {
  const size_t size = text_.size();
  while (pos_ < size && IsBlank(static_cast<unsigned char>(text_[pos_]))) StepOver();
  Token t;
  t.line = line_;
  if (pos_ >= size) return t;
  const char c = text_[pos_];
  if (c == '(' || c == ')') {
    ++pos_;
    t.kind = c == '(' ? TokenKind::kOpen : TokenKind::kClose;
    return t;
  }
  if (c == '"') {
    const size_t start = ++pos_;
    while (pos_ < size && text_[pos_] != '"') StepOver();
    if (pos_ >= size) {
      t.kind = TokenKind::kUnclosedQuote;
      return t;
    }
    t.kind = TokenKind::kWord;
    t.text = text_.substr(start, pos_ - start);
    ++pos_;
    return t;
  }
  const size_t start = pos_;
  while (pos_ < size) {
    const char w = text_[pos_];
    if (IsBlank(static_cast<unsigned char>(w)) || w == '(' || w == ')' || w == '"') break;
    ++pos_;
  }
  t.kind = TokenKind::kWord;
  t.text = text_.substr(start, pos_ - start);
  return t;
}

}  // namespace cartidex
