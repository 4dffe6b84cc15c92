#include "platform/listing_order.h"

#include <algorithm>

#include "platform/path.h"

namespace cartidex {

namespace {

// Upper case, as an unsigned byte so that bytes above 0x7F sort after the ASCII ones.
unsigned char Upper(char c) {
  return static_cast<unsigned char>(AsciiUpper(c));
}

}  // namespace

bool MatchesListPattern(std::string_view name, std::string_view pattern) {
  if (pattern == "*.*" || pattern == "*") return true;
  if (!pattern.empty() && pattern[0] == '*') {
    std::string_view suffix = pattern.substr(1);
    return name.size() >= suffix.size() &&
           EqualIgnoringAsciiCase(name.substr(name.size() - suffix.size()), suffix);
  }
  return EqualIgnoringAsciiCase(name, pattern);
}

void SortListing(std::vector<DirEntry>* entries) {
  std::sort(entries->begin(), entries->end(), [](const DirEntry& a, const DirEntry& b) {
    size_t n = std::min(a.name.size(), b.name.size());
    for (size_t i = 0; i < n; ++i) {
      unsigned char x = Upper(a.name[i]), y = Upper(b.name[i]);
      if (x != y) return x < y;
    }
    if (a.name.size() != b.name.size()) return a.name.size() < b.name.size();
    return a.name < b.name;
  });
}

}  // namespace cartidex
