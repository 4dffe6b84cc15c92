// The portable half of a folder listing: which names a "*.ext" pattern takes, and the order in
// which entries are handed out, so that results never depend on a file system's own order.
#ifndef CARTIDEX_PLATFORM_LISTING_ORDER_H_
#define CARTIDEX_PLATFORM_LISTING_ORDER_H_

#include <string_view>
#include <vector>

#include "platform/env.h"

namespace cartidex {

// True when `name` is taken by `pattern`: "*.*" (or "*") takes every name; "*SUFFIX" takes the
// names whose whole text ends in SUFFIX, ignoring ASCII letter case. Any other pattern takes the
// name equal to it, ignoring case.
bool MatchesListPattern(std::string_view name, std::string_view pattern);

// Sorts entries by name folded to upper case, ties broken by the raw bytes.
void SortListing(std::vector<DirEntry>* entries);

}  // namespace cartidex

#endif  // CARTIDEX_PLATFORM_LISTING_ORDER_H_
