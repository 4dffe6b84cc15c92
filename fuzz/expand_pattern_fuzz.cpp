// A target folder text with codes expanded for an arbitrary name and system (input: text, NUL,
// name, NUL, system). A code may neither change nor climb out of the folders typed before it,
// "<name>" gives one name, "<system>" the system's folders, and no replacement is scanned again.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "actions/expand_pattern.h"
#include "fuzz_support.h"
#include "platform/path.h"

namespace cartidex {
namespace {

using fuzz::Check;

// The parts of a path text between separators (`also` counts as one too).
std::vector<std::string_view> Parts(std::string_view text, char also = kSeparator) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || IsSeparator(text[i]) || text[i] == also) {
      parts.push_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  return parts;
}

ptrdiff_t ParentSteps(std::string_view text) {
  const std::vector<std::string_view> parts = Parts(text);
  return std::count(parts.begin(), parts.end(), "..");
}

std::string Expand(std::string text, std::string_view name, std::string_view system) {
  return ExpandPattern(&text, name, system);
}

}  // namespace
}  // namespace cartidex

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace cartidex;
  std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::string_view text = input.substr(0, input.find('\0'));
  input.remove_prefix(std::min(input.size(), text.size() + 1));
  const std::string_view name = input.substr(0, input.find('\0'));
  const std::string_view system = input.substr(std::min(input.size(), name.size() + 1));

  const std::string result = Expand(std::string(text), name, system);
  const size_t open = text.find('<');
  if (open == std::string_view::npos) Check(result == text, "a text without codes changed");
  // The one caller never gives an empty name.
  if (!name.empty()) {
    std::string_view typed = text.substr(0, open);
    while (!typed.empty() && !IsSeparator(typed.back())) typed.remove_suffix(1);
    Check(result.starts_with(typed), "the typed folders changed");
    Check(text.empty() || IsSeparator(text[0]) || result.empty() || !IsSeparator(result[0]),
          "a code made the text absolute");
    Check(ParentSteps(result) <= ParentSteps(text), "a \"..\" part that was not typed");
  }
  // Each code is at least three bytes and gives at most the longest replacement.
  const size_t codes = static_cast<size_t>(std::count(text.begin(), text.end(), '<'));
  const size_t longest = std::max({name.size(), 2 * system.size() + 1, size_t{1}});
  Check(result.size() <= text.size() + codes * longest, "the result outgrew its codes");

  const std::string name_code = Expand("<name>", name, system);
  Check(name.empty() ? name_code.empty()
                     : Parts(name_code).size() == 1 && name_code != "." && name_code != "..",
        "\"<name>\" is not one name");
  const std::string system_code = Expand("<system>", name, system);
  const std::vector<std::string_view> folders = Parts(system_code);
  Check(folders.size() == Parts(system, '\\').size(), "\"<system>\" has other folders");
  for (std::string_view folder : folders) {
    Check(!folder.empty() && folder != "." && folder != "..", "a folder of \"<system>\" climbs");
  }
  Check(Expand("<name>/<system>", name, system) == name_code + "/" + system_code,
        "a code in a replacement was expanded");
  return 0;
}
