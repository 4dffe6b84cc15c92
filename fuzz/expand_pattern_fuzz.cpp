// A target folder text with codes expanded for an arbitrary name and system (input: text, NUL,
// name, NUL, system). A code may neither change nor climb out of the folders typed before it.
#include <algorithm>
#include <string>
#include <vector>

#include "actions/expand_pattern.h"
#include "fuzz_support.h"
#include "platform/path.h"

namespace cartidex::fuzz {
namespace {

std::vector<std::string_view> Parts(std::string_view text) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || IsSeparator(text[i])) {
      parts.push_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  return parts;
}

}  // namespace

void FuzzOne(std::string_view input) {
  const std::string_view text = input.substr(0, input.find('\0'));
  input.remove_prefix(std::min(input.size(), text.size() + 1));
  const std::string_view name = input.substr(0, input.find('\0'));
  const std::string_view system = input.substr(std::min(input.size(), name.size() + 1));
  std::string pattern(text);
  const std::string result = ExpandPattern(&pattern, name, system);
  const size_t open = text.find('<');
  if (open == std::string_view::npos) Check(result == text, "a text without codes changed");
  if (name.empty()) return;  // the one caller never gives an empty name
  std::string_view typed = text.substr(0, open);
  while (!typed.empty() && !IsSeparator(typed.back())) typed.remove_suffix(1);
  Check(result.starts_with(typed), "the typed folders changed");
  Check(text.empty() || IsSeparator(text[0]) || result.empty() || !IsSeparator(result[0]),
        "a code made the text absolute");
  Check(std::ranges::count(Parts(result), "..") <= std::ranges::count(Parts(text), ".."),
        "a \"..\" part that was not typed");
}

}  // namespace cartidex::fuzz
