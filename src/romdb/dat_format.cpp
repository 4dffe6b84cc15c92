#include "romdb/dat_format.h"

#include "romdb/dat_text_reader.h"
#include "romdb/dat_xml_reader.h"

namespace cartidex {

bool ReadDat(std::span<char> contents, DatFile* dat) {
  std::string_view text(contents.data(), contents.size());
  // Only XML comes in UTF-16; the parser converts it.
  if (text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF")) {
    return ReadXmlDat(contents, dat);
  }
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  size_t first = 0;
  while (first < text.size() && (text[first] == ' ' || text[first] == '\t' || text[first] == '\r' ||
                                 text[first] == '\n')) {
    ++first;
  }
  if (first < text.size() && text[first] == '<') return ReadXmlDat(contents, dat);
  return ReadClrMameProDat(std::string_view(contents.data(), contents.size()), dat);
}

}  // namespace cartidex
