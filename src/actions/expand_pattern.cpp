#include "actions/expand_pattern.h"

#include <optional>
#include <vector>

#include "platform/decimal_text.h"
#include "platform/path.h"

namespace cartidex {

namespace {

// A code's text made safe to stand within one path part: separators and bytes no name can hold
// become '_'. The rules for a whole name (on Windows a trailing dot or blank, device names) wait
// for the whole part: a code may fill only the middle of it.
std::string SafeNamePart(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (IsSeparator(c) || IsForbiddenNameByte(static_cast<unsigned char>(c))) c = '_';
  }
  return out;
}

bool HasForbiddenByte(std::string_view part) {
  for (char c : part) {
    if (IsForbiddenNameByte(static_cast<unsigned char>(c))) return true;
  }
  return false;
}

bool IsAsciiLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// A system text as nested folders. Datafiles written on either platform may use '\' or '/'.
std::string SystemFolders(std::string_view system) {
  std::string out;
  size_t start = 0;
  bool first = true;
  for (;;) {
    size_t end = start;
    while (end < system.size() && system[end] != '/' && system[end] != '\\') ++end;
    std::string part(system.substr(start, end - start));
    if (first && part.size() >= 2 && IsAsciiLetter(part[0]) && part[1] == ':') {
      part.replace(0, 2, "_");  // a drive would make the target absolute
    }
    if (part.empty() || part == "." || part == "..") part = "_";
    if (!first) out.push_back(kSeparator);
    out += SafeNamePart(part);
    first = false;
    if (end >= system.size()) break;
    start = end + 1;
  }
  return out;
}

std::string CharacterCode(std::string_view digits, std::string_view name) {
  if (name.empty()) return std::string();
  int32_t n = StrToInt(digits);
  const char c = AsciiUpper((n >= 1 && static_cast<size_t>(n) <= name.size())
                                ? name[static_cast<size_t>(n) - 1]
                                : name[0]);
  return SafeNamePart(std::string_view(&c, 1));
}

// The replacement of a code word, or nothing for a word that is no code.
std::optional<std::string> CodeText(std::string_view word, std::string_view name,
                                    std::string_view system) {
  if (word == "name") return SafeNamePart(name);
  if (word == "system") return SystemFolders(system);
  if (!word.empty() && word[0] == 'c') return CharacterCode(word.substr(1), name);
  return std::nullopt;
}

// Turns every path part that is "." or ".." and came (even partly) from a code into "_", and
// makes every other such part a name this platform can hold. Parts typed wholly by the user, and
// bytes the user typed (a drive's ':'), stay as written.
void NeutraliseDotParts(std::string* text, const std::vector<bool>& from_code) {
  std::string out;
  size_t start = 0;
  while (start <= text->size()) {
    size_t end = start;
    while (end < text->size() && !IsSeparator((*text)[end])) ++end;
    std::string_view part(text->data() + start, end - start);
    bool coded = false;
    for (size_t i = start; i < end; ++i) coded = coded || from_code[i];
    if (coded && (part == "." || part == "..")) {
      out += '_';
    } else if (coded && !HasForbiddenByte(part)) {
      out += SanitizeFileName(part);
    } else {
      out += part;
    }
    if (end < text->size()) out.push_back((*text)[end]);
    start = end + 1;
  }
  *text = std::move(out);
}

}  // namespace

std::string& ExpandPattern(std::string* text, std::string_view name, std::string_view system) {
  std::vector<bool> from_code(text->size(), false);
  constexpr size_t kNone = std::string::npos;
  size_t open = kNone;
  size_t i = 0;
  while (i < text->size()) {
    char c = (*text)[i];
    if (open == kNone) {
      if (c == '<') open = i;
      ++i;
      continue;
    }
    if (c != '>') {
      ++i;
      continue;
    }
    std::string_view word(text->data() + open + 1, i - open - 1);
    std::optional<std::string> replacement = CodeText(word, name, system);
    if (!replacement) {
      // Not a code: the text stays as written and the scan goes on after it.
      open = kNone;
      ++i;
      continue;
    }
    const size_t length = i - open + 1;
    text->replace(open, length, *replacement);
    from_code.erase(from_code.begin() + static_cast<std::ptrdiff_t>(open),
                    from_code.begin() + static_cast<std::ptrdiff_t>(open + length));
    from_code.insert(from_code.begin() + static_cast<std::ptrdiff_t>(open), replacement->size(),
                     true);
    // The replacement is not scanned again, so no code text can expand without end.
    i = open + replacement->size();
    open = kNone;
  }
  NeutraliseDotParts(text, from_code);
  return *text;
}

}  // namespace cartidex
