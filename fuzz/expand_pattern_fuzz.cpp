// A target folder text with codes, expanded for an arbitrary name and system. The input is the
// text, a NUL, the name, a NUL and the system (which may hold further NULs). Besides the
// sanitizers' findings and a hang, it fails when a text without '<' changes; when the result
// outgrows what its codes can add; when a code inside a replacement is expanded again
// ("<name>" and "<system>" alone must give the name and the system as they stand but for the
// bytes a path part cannot hold); and, for a name that is not empty (the caller's never is), when
// the folders typed before the first code change, a relative text becomes absolute, or the result
// has more ".." parts than the text had: code text must never climb out of the folder typed.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "actions/expand_pattern.h"
#include "fuzz_sandbox.h"
#include "platform/path.h"

namespace cartidex {
namespace {

using fuzz::Check;

// The parts of a path text between separators.
std::vector<std::string_view> Parts(std::string_view text) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && !IsSeparator(text[i])) continue;
    parts.push_back(text.substr(start, i - start));
    start = i + 1;
  }
  return parts;
}

size_t CountParentSteps(std::string_view text) {
  size_t n = 0;
  for (std::string_view part : Parts(text)) n += part == ".." ? 1 : 0;
  return n;
}

std::string Expand(std::string text, std::string_view name, std::string_view system) {
  return ExpandPattern(&text, name, system);
}

bool IsDrive(std::string_view part) {
  return part.size() >= 2 && part[1] == ':' &&
         ((part[0] >= 'a' && part[0] <= 'z') || (part[0] >= 'A' && part[0] <= 'Z'));
}

// One part of a replacement as it must come out: the text of the part with the bytes no name
// can hold made '_', or "_" for a part that would be empty, "." or "..".
void CheckPart(std::string_view got, std::string_view want, const char* what) {
  if (want.empty() || want == "." || want == "..") {
    Check(got == "_", what);
    return;
  }
  Check(got.size() == want.size(), what);
  for (size_t i = 0; i < want.size(); ++i) {
    const bool forbidden =
        IsSeparator(want[i]) || IsForbiddenNameByte(static_cast<unsigned char>(want[i]));
    Check(got[i] == (forbidden ? '_' : want[i]), what);
  }
}

// "<name>" alone: one path part, the name as it stands but for the bytes no name can hold (an
// empty name gives nothing; "." and ".." give "_" as code text).
void CheckNameCode(std::string_view name, std::string_view system) {
  std::string got = Expand("<name>", name, system);
  if (name.empty()) {
    Check(got.empty(), "an empty name gave text");
    return;
  }
  CheckPart(got, name, "\"<name>\" is not the name");
}

// "<system>" alone: the system's parts ('\' and '/' alike) as nested folders, a leading drive
// made "_".
void CheckSystemCode(std::string_view name, std::string_view system) {
  std::string got = Expand("<system>", name, system);
  std::vector<std::string_view> want;
  size_t start = 0;
  for (size_t i = 0; i <= system.size(); ++i) {
    if (i < system.size() && system[i] != '/' && system[i] != '\\') continue;
    want.push_back(system.substr(start, i - start));
    start = i + 1;
  }
  std::vector<std::string_view> parts = Parts(got);
  Check(parts.size() == want.size(), "\"<system>\" has other folders than the system");
  for (size_t i = 0; i < want.size(); ++i) {
    if (i == 0 && IsDrive(want[0])) {
      Check(parts[0].starts_with('_'), "a drive in the system stays");
      std::string rest = "_" + std::string(want[0].substr(2));
      CheckPart(parts[0], rest, "\"<system>\" is not the system");
      continue;
    }
    CheckPart(parts[i], want[i], "\"<system>\" is not the system");
  }
}

}  // namespace
}  // namespace cartidex

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace cartidex;
  fuzz::EnterSandbox();
  std::string_view input(reinterpret_cast<const char*>(data), size);
  size_t cut1 = input.find('\0');
  std::string_view text = input.substr(0, cut1);
  std::string_view name, system;
  if (cut1 != std::string_view::npos) {
    std::string_view rest = input.substr(cut1 + 1);
    size_t cut2 = rest.find('\0');
    name = rest.substr(0, cut2);
    if (cut2 != std::string_view::npos) system = rest.substr(cut2 + 1);
  }

  const std::string result = Expand(std::string(text), name, system);

  const size_t open = text.find('<');
  if (open == std::string_view::npos) {
    fuzz::Check(result == text, "a text without codes changed");
  }
  // The folders typed before the first code stay (the part that holds the code may become "_"),
  // no code makes a relative text absolute, and code text never climbs out of what was typed.
  // This holds for a name that is not empty: an empty name makes "<name>" and "<c#>" give
  // nothing, so that the text typed around them closes up ('.<name>.' gives ".."), and the one
  // caller, which moves the file of that name, refuses an empty name whatever the expansion.
  if (!name.empty()) {
    std::string_view typed = text.substr(0, open);
    while (!typed.empty() && !IsSeparator(typed.back())) typed.remove_suffix(1);
    fuzz::Check(result.starts_with(typed), "the typed folders changed");
    if (text.empty() || !IsSeparator(text[0])) {
      fuzz::Check(result.empty() || !IsSeparator(result[0]), "a code made the text absolute");
    }
    fuzz::Check(CountParentSteps(result) <= CountParentSteps(text),
                "a \"..\" part that was not typed");
  }
  // Each code is at least three bytes and gives at most the longest replacement; a replacement
  // is never scanned again, so nothing grows beyond this.
  const size_t codes = static_cast<size_t>(std::count(text.begin(), text.end(), '<'));
  const size_t longest = std::max({name.size(), 2 * system.size() + 1, size_t{1}});
  fuzz::Check(result.size() <= text.size() + codes * longest, "the result outgrew its codes");

  CheckNameCode(name, system);
  CheckSystemCode(name, system);
  // Both in one text: one scan, so codes that the name holds stay as they are.
  fuzz::Check(Expand("<name>/<system>", name, system) ==
                  Expand("<name>", name, system) + "/" + Expand("<system>", name, system),
              "a code in a replacement was expanded");
  return 0;
}
