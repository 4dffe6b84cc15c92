#include "romdb/dat_xml_reader.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace cartidex {

namespace {

// Where each line of a text begins, so that the byte offsets the parser reports become line
// numbers. Lines end at CR LF, a lone CR or a lone LF, as in the own datafiles. Taken before the
// parse, which writes into the text.
class LineStarts {
 public:
  explicit LineStarts(std::string_view text) {
    // Most DAT lines are 30 to 100 bytes long.
    starts_.reserve(text.size() / 48 + 1);
    starts_.push_back(0);
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    if (std::memchr(begin, '\r', text.size()) == nullptr) {
      // The usual case: LF line ends only, found by the library's fast search.
      const char* p = begin;
      while (const void* lf = std::memchr(p, '\n', static_cast<size_t>(end - p))) {
        p = static_cast<const char*>(lf) + 1;
        starts_.push_back(static_cast<size_t>(p - begin));
      }
      return;
    }
    for (const char* p = begin; p < end; ++p) {
      if (*p == '\r' && p + 1 < end && p[1] == '\n') ++p;
      if (*p == '\r' || *p == '\n') starts_.push_back(static_cast<size_t>(p + 1 - begin));
    }
  }

  // The line, counted from 1, that holds the byte at `offset`.
  uint64_t LineOf(ptrdiff_t offset) const {
    if (offset < 0) return 0;
    auto it = std::upper_bound(starts_.begin(), starts_.end(), static_cast<size_t>(offset));
    return static_cast<uint64_t>(it - starts_.begin());
  }

 private:
  std::vector<size_t> starts_;
};

// Whether a node or attribute name is `expected`, compared byte by byte up to the first
// difference (names are NUL-ended, so the compare never runs past them).
template <size_t N>
bool Is(const char* name, const char (&expected)[N]) {
  for (size_t i = 0; i < N; ++i) {
    if (name[i] != expected[i]) return false;
  }
  return true;
}

std::string_view AttributeText(const pugi::xml_node& node, const char* name) {
  return node.attribute(name).value();
}

// One <rom> element; every attribute is looked at once.
void AddRomElement(const pugi::xml_node& rom, DatFile* dat) {
  DatRomFields fields;
  for (pugi::xml_attribute a = rom.first_attribute(); a; a = a.next_attribute()) {
    const char* name = a.name();
    if (Is(name, "name")) {
      fields.name = a.value();
    } else if (Is(name, "size")) {
      fields.size = a.value();
    } else if (Is(name, "crc")) {
      fields.crc = a.value();
    } else if (Is(name, "sha1")) {
      fields.sha1 = a.value();
    } else if (Is(name, "md5")) {
      fields.md5 = a.value();
    } else if (Is(name, "status")) {
      fields.nodump = Is(a.value(), "nodump");
    }
  }
  dat->AddRom(fields);
}

void ReadLogiqx(const pugi::xml_node& root, const LineStarts& lines, DatFile* dat) {
  dat->format = DatFormat::kLogiqx;
  pugi::xml_node name = root.child("header").child("name");
  if (name) dat->SetSystem(name.child_value(), lines.LineOf(name.offset_debug()));
  for (pugi::xml_node game = root.first_child(); game; game = game.next_sibling()) {
    if (!Is(game.name(), "game") && !Is(game.name(), "machine")) continue;
    dat->BeginGame(AttributeText(game, "name"), lines.LineOf(game.offset_debug()));
    for (pugi::xml_node rom = game.first_child(); rom; rom = rom.next_sibling()) {
      if (Is(rom.name(), "rom")) AddRomElement(rom, dat);
    }
  }
}

void ReadSoftwareList(const pugi::xml_node& root, const LineStarts& lines, DatFile* dat) {
  dat->format = DatFormat::kSoftwareList;
  if (pugi::xml_attribute description = root.attribute("description")) {
    dat->SetSystem(description.value(), lines.LineOf(root.offset_debug()));
  }
  for (pugi::xml_node software = root.child("software"); software;
       software = software.next_sibling("software")) {
    dat->BeginGame(AttributeText(software, "name"), lines.LineOf(software.offset_debug()));
    for (pugi::xml_node part : software.children("part")) {
      for (pugi::xml_node area : part.children("dataarea")) {
        for (pugi::xml_node rom : area.children("rom")) AddRomElement(rom, dat);
      }
    }
  }
}

}  // namespace

bool ReadXmlDat(std::span<char> contents, DatFile* dat) {
  const LineStarts lines(std::string_view(contents.data(), contents.size()));
  auto doc = std::make_shared<pugi::xml_document>();
  // Entities are the only rewriting the names need; line ends and blanks in values stay as they
  // stand, which keeps the parse fast.
  pugi::xml_parse_result result = doc->load_buffer_inplace(
      contents.data(), contents.size(), pugi::parse_minimal | pugi::parse_escapes);
  if (!result) return false;
  // The names are read where the parse left them: in `contents`, or in the document's own
  // buffer when it had to convert the text to UTF-8.
  dat->KeepAlive(doc);
  pugi::xml_node root = doc->document_element();
  if (Is(root.name(), "datafile")) {
    // About one ROM per 70 bytes in a typical arcade DAT, one game per 20 ROMs.
    dat->Reserve(contents.size() / 1400, contents.size() / 70);
    ReadLogiqx(root, lines, dat);
  } else if (Is(root.name(), "softwarelist")) {
    ReadSoftwareList(root, lines, dat);
  } else {
    return false;
  }
  return true;
}

}  // namespace cartidex
