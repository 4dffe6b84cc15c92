#include "romdb/dat_text_reader.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace cartidex {

namespace {

// The tokens of the format: '(' and ')', quoted texts ("..." without escapes, possibly over
// several lines) and bare words (any run of bytes other than blanks, control bytes, parentheses
// and quotes). Each token knows the line where it begins.
enum class TokenKind { kEnd, kOpen, kClose, kWord, kUnclosedQuote };

struct Token {
  TokenKind kind = TokenKind::kEnd;
  std::string_view text;  // a word's text, quotes removed
  uint64_t line = 0;      // counted from 1
};

bool IsBlank(unsigned char c) {
  return c <= ' ' || c == 0x7F;
}

class DatTokenizer {
 public:
  // A leading UTF-8 byte-order mark is skipped. Lines end at CR LF, a lone CR or a lone LF.
  explicit DatTokenizer(std::string_view text) : text_(text) {
    if (text_.starts_with("\xEF\xBB\xBF")) pos_ = 3;
  }

  // The next token; kEnd at the end of the text and from then on.
  Token Next() {
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

 private:
  // Counts the line end at pos_ (if any) and steps over it.
  void StepOver() {
    const char c = text_[pos_++];
    if (c == '\n' || (c == '\r' && (pos_ >= text_.size() || text_[pos_] != '\n'))) ++line_;
  }

  std::string_view text_;
  size_t pos_ = 0;
  uint64_t line_ = 1;
};

bool IsGameBlock(std::string_view key) {
  return key == "game" || key == "machine" || key == "resource";
}

// Block names a ClrMamePro DAT may open with: its header (older files: "emulator") or a game.
bool IsOpeningBlock(std::string_view key) {
  return key == "clrmamepro" || key == "emulator" || IsGameBlock(key);
}

class TextDatReader {
 public:
  TextDatReader(std::string_view text, DatFile* dat) : tokens_(text), dat_(dat) {}

  bool Read() {
    dat_->format = DatFormat::kClrMamePro;
    Token key = tokens_.Next();
    if (key.kind != TokenKind::kWord || !IsOpeningBlock(key.text)) return false;
    bool have_header = false;
    while (key.kind != TokenKind::kEnd) {
      if (key.kind != TokenKind::kWord || tokens_.Next().kind != TokenKind::kOpen) return false;
      bool ok;
      if (IsGameBlock(key.text)) {
        ok = ReadGame(key.line);
      } else if (key.text == "clrmamepro" && !have_header) {
        have_header = true;
        ok = ReadHeader();
      } else {
        ok = SkipBlock();
      }
      if (!ok) return false;
      key = tokens_.Next();
    }
    return true;
  }

 private:
  // Takes the entries of a block whose '(' is taken, up to its ')'. `on_value(key, value)` sees
  // each word value; `on_block(key)` sees each nested block after its '(' and must take it
  // whole. A key right before the ')' is a flag without a value; keys that `is_flag` names never
  // take one.
  template <typename OnValue, typename OnBlock>
  bool ReadEntries(OnValue on_value, OnBlock on_block, bool (*is_flag)(std::string_view)) {
    for (;;) {
      Token key = tokens_.Next();
      if (key.kind == TokenKind::kClose) return true;
      if (key.kind != TokenKind::kWord) return false;
      if (is_flag(key.text)) {
        on_value(key.text, Token{});
        continue;
      }
      Token value = tokens_.Next();
      if (value.kind == TokenKind::kClose) return true;
      if (value.kind == TokenKind::kOpen) {
        if (!on_block(key.text)) return false;
      } else if (value.kind == TokenKind::kWord) {
        on_value(key.text, value);
      } else {
        return false;
      }
    }
  }

  static bool NoFlags(std::string_view) { return false; }
  static bool IsDumpFlag(std::string_view key) { return key == "nodump" || key == "baddump"; }

  bool SkipBlock() {
    int depth = 1;
    while (depth > 0) {
      Token t = tokens_.Next();
      if (t.kind == TokenKind::kOpen) {
        ++depth;
      } else if (t.kind == TokenKind::kClose) {
        --depth;
      } else if (t.kind != TokenKind::kWord) {
        return false;
      }
    }
    return true;
  }

  bool ReadHeader() {
    bool named = false;
    return ReadEntries(
        [&](std::string_view key, const Token& value) {
          if (key == "name" && !named) {
            named = true;
            dat_->SetSystem(value.text, value.line);
          }
        },
        [&](std::string_view) { return SkipBlock(); }, NoFlags);
  }

  bool ReadGame(uint64_t line) {
    std::optional<std::string_view> name;
    roms_.clear();
    bool ok = ReadEntries(
        [&](std::string_view key, const Token& value) {
          if (key == "name" && !name) name = value.text;
        },
        [&](std::string_view key) {
          if (key != "rom") return SkipBlock();
          roms_.emplace_back();
          return ReadRom(&roms_.back());
        },
        NoFlags);
    if (!ok) return false;
    // The name may follow the ROMs; the game is stated once it is known.
    dat_->BeginGame(name.value_or(std::string_view()), line);
    for (const DatRomFields& rom : roms_) dat_->AddRom(rom);
    return true;
  }

  bool ReadRom(DatRomFields* rom) {
    return ReadEntries(
        [&](std::string_view key, const Token& value) {
          if (key == "name") {
            if (!rom->name) rom->name = value.text;
          } else if (key == "size") {
            if (!rom->size) rom->size = value.text;
          } else if (key == "crc") {
            if (!rom->crc) rom->crc = value.text;
          } else if (key == "sha1") {
            if (!rom->sha1) rom->sha1 = value.text;
          } else if (key == "md5") {
            if (!rom->md5) rom->md5 = value.text;
          } else if (key == "nodump" ||
                     ((key == "status" || key == "flags") && value.text == "nodump")) {
            rom->nodump = true;
          }
        },
        [&](std::string_view) { return SkipBlock(); }, IsDumpFlag);
  }

  DatTokenizer tokens_;
  DatFile* dat_;
  std::vector<DatRomFields> roms_;
};

}  // namespace

bool ReadClrMameProDat(std::string_view text, DatFile* dat) {
  return TextDatReader(text, dat).Read();
}

}  // namespace cartidex
