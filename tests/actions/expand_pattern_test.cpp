// Folder codes: the documented expansions, and the guards that keep code text inside the folder
// the user typed. In the table '/' stands for the platform's separator in the text and the result.
#include "actions/expand_pattern.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/path.h"

namespace cartidex {
namespace {

struct Case {
  std::string_view text;
  std::string_view want;
  std::string_view name = "Test.rom";
  std::string_view system = "Sys";
};

// clang-format off
const Case kCases[] = {
    // The documented codes; a position past the end or no number gives the first character.
    {"/Roms/<c1>/", "/Roms/T/"}, {"<c8>", "M"}, {"<c9>", "T"}, {"<c0>", "T"}, {"<c-3>", "T"},
    {"<c3rd>", "S"}, {"/d/<system>/<c1>/<name>/", "/d/Sys/T/Test.rom/"},
    {"x<c1>y<name>z", "xyz", ""}, {"<c1>", "\xE9", "\xE9t\xE9"},
    // Text that is no code stays as written and the scan goes on; a code word ends at '>'.
    {"<name", "<name"}, {"a>b<c1>", "a>bT"}, {"<foo>-<NAME><c1>", "<foo>-<NAME>T"},
    {"<a<name>/<c1>", "<a<name>/T"}, {"<<c1>", "<<c1>"},
    // A system nests folders but never climbs out or becomes absolute.
    {"<system>", "Nintendo/Game Boy", "a", "Nintendo/Game Boy"},
    {"/r/<system>/", "/r/_/_/etc/", "a", "../../etc"}, {"<system>", "_/abs", "a", "/abs"},
    {"<system>", "_/Windows", "a", "C:\\Windows"}, {"<system>", "_rest", "a", "C:rest"},
    {"<system>", "A/_/B/_", "a", "A//B/"}, {"<system>", "_", "a", "."}, {"<system>", "_", "a", ""},
    {"<system>", "_x", "a", "a:x"}, {"<system>", "_x", "a", "z:x"}, {"<system>", "_x", "a", "A:x"},
    {"<system>", "_x", "a", "Z:x"},
    // A path part holding code text is never "." or ".."; the user's own dots stay.
    {"<c5>", "_"}, {"/r/<c1>/", "/r/_/", ".hidden"}, {"/r/<c1><c1>/", "/r/_/", "..x"},
    {"/r/<c1>./", "/r/_/", ".x"}, {"/r/<name>/", "/r/_/", ".."}, {"../<c1>/./", "../A/./", "a"},
    {"x<c2>x", "x.x", ".."}, {"<c1><c2><c3>", "A.B", "a.b"},
#ifndef _WIN32
    // A replacement is not scanned again; '\' is an ordinary byte of a name here.
    {"v<c5>", "v."}, {"<system>", "<system>", "a.rom", "<system>"},
    {"<system><c1>", "<c1A", "a.rom", "<c1"}, {"<name>", "<name>.rom", "<name>.rom"},
    {"<name>", "a\\b", "a\\b"}, {"<system>", "1:x", "a", "1:x"}, {"<system>", "@:x", "a", "@:x"},
    {std::string_view("a\0<c1>", 6), std::string_view("a\0T", 3)},  // a typed byte stays
#else
    // No name ends in a dot or holds '<' or '>' here, and device names are no file names.
    {"v<c5>", "v_"}, {"<system>", "_system_", "a.rom", "<system>"},
    {"<system><c1>", "_c1A", "a.rom", "<c1"}, {"<c1><c2>", "A_", "a."}, {"<name>", "_con", "con"},
    {"x<name>", "xcon", "con"}, {"C:<c1>", "C:A", "a"},
#endif
};
// clang-format on

std::string P(std::string_view view) {
  std::string text(view);
  for (char& c : text) {
    if (c == '/') c = kSeparator;
  }
  return text;
}

TEST(ExpandPatternTest, Table) {
  for (const Case& c : kCases) {
    std::string text = P(c.text);
    ExpandPattern(&text, c.name, c.system);
    EXPECT_EQ(text, P(c.want)) << c.text << " name " << c.name << " system " << c.system;
  }
}

}  // namespace
}  // namespace cartidex
