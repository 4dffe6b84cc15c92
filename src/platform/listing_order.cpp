#include "platform/listing_order.h"

#include <algorithm>

namespace cartidex {

namespace {

unsigned char Upper(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  return (u >= 'a' && u <= 'z') ? static_cast<unsigned char>(u - 'a' + 'A') : u;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Upper(a[i]) != Upper(b[i])) return false;
  }
  return true;
}

}  // namespace

bool MatchesListPattern(std::string_view name, std::string_view pattern) {
  if (pattern == "*.*" || pattern == "*") return true;
  if (!pattern.empty() && pattern[0] == '*') {
    std::string_view suffix = pattern.substr(1);
    return name.size() >= suffix.size() &&
           EqualsIgnoringCase(name.substr(name.size() - suffix.size()), suffix);
  }
  return EqualsIgnoringCase(name, pattern);
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
