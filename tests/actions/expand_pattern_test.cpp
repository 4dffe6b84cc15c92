// Folder codes: the documented expansions, and the guards that keep code text inside the folder
// the user typed.
#include "actions/expand_pattern.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/path.h"

namespace cartidex {
namespace {

std::string Expand(std::string text, std::string_view name = "Test.rom",
                   std::string_view system = "Sys") {
  ExpandPattern(&text, name, system);
  return text;
}

// Writes a path with '/' the way the platform writes it.
std::string P(std::string text) {
  for (char& c : text) {
    if (c == '/') c = kSeparator;
  }
  return text;
}

TEST(ExpandPatternTest, DocumentedCodes) {
  EXPECT_EQ(Expand(P("/Roms/<c1>/")), P("/Roms/T/"));
  EXPECT_EQ(Expand("<c2>"), "E");
#ifndef _WIN32
  EXPECT_EQ(Expand("v<c5>"), "v.");
#else
  EXPECT_EQ(Expand("v<c5>"), "v_");  // no name ends in a dot here
#endif
  EXPECT_EQ(Expand("<c5>"), "_");  // alone it would be the path part "."
  EXPECT_EQ(Expand("<c8>"), "M");
  EXPECT_EQ(Expand("<c9>"), "T");
  EXPECT_EQ(Expand("<c40>"), "T");
  for (const char* code : {"<c0>", "<c>", "<cx>", "<c-3>"}) EXPECT_EQ(Expand(code), "T") << code;
  EXPECT_EQ(Expand("<c3rd>"), "S");
  EXPECT_EQ(Expand("<name>"), "Test.rom");
  EXPECT_EQ(Expand("<system>"), "Sys");
  EXPECT_EQ(Expand(P("/d/<system>/<c1>/<name>/")), P("/d/Sys/T/Test.rom/"));
  EXPECT_EQ(Expand("<c1><c2><c1>"), "TET");
  EXPECT_EQ(Expand(""), "");
  EXPECT_EQ(Expand(P("plain/text")), P("plain/text"));
  EXPECT_EQ(Expand("x<c1>y<name>z", ""), "xyz");
  EXPECT_EQ(Expand("<c1>", "\xE9t\xE9"), "\xE9");  // bytes past ASCII pass unchanged
}

TEST(ExpandPatternTest, TextThatIsNoCodeStaysAsWrittenAndTheScanGoesOn) {
  EXPECT_EQ(Expand("<name"), "<name");
  EXPECT_EQ(Expand("a>b<c1>"), "a>bT");
  EXPECT_EQ(Expand("<foo>-<c1>"), "<foo>-T");
  EXPECT_EQ(Expand("<NAME><Name><c1>"), "<NAME><Name>T");
  // The code word runs to the first '>', a further '<' included: all of it is one unknown code.
  EXPECT_EQ(Expand(P("<a<name>/<c1>")), P("<a<name>/T"));
  EXPECT_EQ(Expand("<<c1>"), "<<c1>");
  EXPECT_EQ(Expand("<>"), "<>");
}

TEST(ExpandPatternTest, ReplacementTextIsNotScannedAgain) {
#ifndef _WIN32
  EXPECT_EQ(Expand("<system>", "a.rom", "<system>"), "<system>");
  EXPECT_EQ(Expand("<system><c1>", "a.rom", "<c1"), "<c1A");
  EXPECT_EQ(Expand("<name>", "<name>.rom"), "<name>.rom");
#else
  // No name holds '<' or '>' here.
  EXPECT_EQ(Expand("<system>", "a.rom", "<system>"), "_system_");
  EXPECT_EQ(Expand("<system><c1>", "a.rom", "<c1"), "_c1A");
  EXPECT_EQ(Expand("<name>", "<name>.rom"), "_name_.rom");
#endif
}

TEST(ExpandPatternTest, SystemMayNestFoldersButNeverClimbOut) {
  EXPECT_EQ(Expand("<system>", "a", "Nintendo\\Game Boy"), P("Nintendo/Game Boy"));
  EXPECT_EQ(Expand("<system>", "a", "Nintendo/Game Boy"), P("Nintendo/Game Boy"));
  EXPECT_EQ(Expand(P("/r/<system>/"), "a", "../../etc"), P("/r/_/_/etc/"));
  EXPECT_EQ(Expand("<system>", "a", "/abs"), P("_/abs"));
  EXPECT_EQ(Expand("<system>", "a", "\\abs"), P("_/abs"));
  EXPECT_EQ(Expand("<system>", "a", "C:\\Windows"), P("_/Windows"));
  EXPECT_EQ(Expand("<system>", "a", "C:rest"), "_rest");
  EXPECT_EQ(Expand("<system>", "a", "A//B/"), P("A/_/B/_"));
  EXPECT_EQ(Expand("<system>", "a", "."), "_");
  EXPECT_EQ(Expand("<system>", "a", ""), "_");
}

TEST(ExpandPatternTest, NameAndCharacterCodesStayOnePathPart) {
  EXPECT_EQ(Expand(P("/r/<c1>/"), ".hidden"), P("/r/_/"));
  EXPECT_EQ(Expand(P("/r/<c1><c1>/"), "..x"), P("/r/_/"));
  EXPECT_EQ(Expand(P("/r/<c1>./"), ".x"), P("/r/_/"));  // partly typed, partly from the code
  EXPECT_EQ(Expand(P("/r/<name>/"), ".."), P("/r/_/"));
  // Dots the user typed are the user's own.
  EXPECT_EQ(Expand(P("../<c1>/./"), "a"), P("../A/./"));
  EXPECT_EQ(Expand("x<c2>x", ".."), "x.x");
  EXPECT_EQ(Expand("<c1><c2><c3>", "a.b"), "A.B");  // a code's text need not be a name alone
#ifdef _WIN32
  // A part that codes make must be a name here; the user's own bytes stay.
  EXPECT_EQ(Expand("<c1><c2>", "a."), "A_");
  EXPECT_EQ(Expand("<name>", "con"), "_con");
  EXPECT_EQ(Expand("x<name>", "con"), "xcon");
  EXPECT_EQ(Expand("C:<c1>", "a"), "C:A");
#endif
#ifndef _WIN32
  // Here '\' is an ordinary byte of a file name.
  EXPECT_EQ(Expand("<name>", "a\\b"), "a\\b");
#endif
}

}  // namespace
}  // namespace cartidex
