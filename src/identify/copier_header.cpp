#include "identify/copier_header.h"

namespace cartidex {

namespace {

struct HeaderKind {
  std::string_view magic;  // what the file holds from byte `at` on
  uint32_t at;
  uint32_t size;  // the header's length
};

constexpr HeaderKind kHeaders[] = {
    {std::string_view("NES\x1A", 4), 0, 16},
    {std::string_view("FDS\x1A", 4), 0, 16},
    {"ATARI7800", 1, 128},
    {"LYNX", 0, 64},
};

}  // namespace

uint32_t CopierHeaderSize(std::string_view start, uint64_t file_size) {
  for (const HeaderKind& kind : kHeaders) {
    if (start.size() >= kind.at + kind.magic.size() &&
        start.substr(kind.at, kind.magic.size()) == kind.magic) {
      return file_size > kind.size ? kind.size : 0;
    }
  }
  return 0;
}

}  // namespace cartidex
