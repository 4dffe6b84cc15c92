// The resources of the built Cartidex.exe (or of CARTIDEX_CHECKED_EXE), loaded as data: dialog 9
// is the Qt window's template, so that the two front-ends show one dialog, and every resource is
// in French (France).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "app/startup.h"
#include "qt/dialog_template.h"

namespace cartidex::test {
namespace {

const WORD kFrench = MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH);

// Reads a DLGTEMPLATEEX field by field.
struct TemplateReader {
  const std::string& data;
  size_t pos = 0;

  DWORD Word() {
    WORD v = 0;
    if (pos + 2 <= data.size()) std::memcpy(&v, data.data() + pos, 2);
    pos += 2;
    return v;
  }
  DWORD Dword() {
    const DWORD low = Word();
    return low | (Word() << 16);
  }
  // A string, "#n" for an ordinal, "" for nothing.
  std::string NameOrOrdinal() {
    DWORD c = Word();
    if (c == 0xFFFF) return "#" + std::to_string(Word());
    std::string s;
    for (; c != 0 && pos <= data.size(); c = Word()) s.push_back(static_cast<char>(c));
    return s;
  }
};

BOOL CALLBACK AddLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR param) {
  reinterpret_cast<std::vector<WORD>*>(param)->push_back(language);
  return TRUE;
}

// The window class and the low style bits (alignment, button kind) of each ControlKind, in the
// order of its values.
const std::pair<std::string, DWORD> kInResource[] = {
    {"#130", SS_LEFT},        {"#130", SS_CENTER},     {"#129", ES_LEFT},
    {"#129", ES_LEFT},        {"#128", BS_PUSHBUTTON}, {"#128", BS_DEFPUSHBUTTON},
    {"#128", BS_AUTOCHECKBOX}};
static_assert(std::size(kInResource) == static_cast<size_t>(ControlKind::kCheckBox) + 1);

TEST(ExeResources, Dialog9IsTheQtWindowsTemplateAndAllIsFrench) {
  const char* other = std::getenv("CARTIDEX_CHECKED_EXE");
  const char* exe = other != nullptr && *other != '\0' ? other : CARTIDEX_GUI_EXE;
  HMODULE module = LoadLibraryExA(exe, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr) << "cannot load " << exe;
  const std::pair<LPCSTR, int> resources[] = {{RT_DIALOG, 9}, {RT_GROUP_ICON, 9}, {RT_VERSION, 1}};
  for (auto [type, id] : resources) {
    std::vector<WORD> languages;
    EnumResourceLanguagesA(module, type, MAKEINTRESOURCEA(id), AddLanguage,
                           reinterpret_cast<LONG_PTR>(&languages));
    EXPECT_EQ(languages, std::vector<WORD>{kFrench}) << id;
  }
  HRSRC found = FindResourceExA(module, RT_DIALOG, MAKEINTRESOURCEA(9), kFrench);
  ASSERT_NE(found, nullptr);
  const std::string data(static_cast<const char*>(LockResource(LoadResource(module, found))),
                         SizeofResource(module, found));
  TemplateReader r{data};
  ASSERT_EQ(r.Dword(), 0xFFFF0001u);  // an extended template
  r.pos += 8;                         // help id, extended style
  const DWORD style = r.Dword();
  const size_t count = r.Word();
  r.pos += 4;  // x, y
  EXPECT_EQ(r.Word(), DWORD{kTemplateWidth});
  EXPECT_EQ(r.Word(), DWORD{kTemplateHeight});
  EXPECT_EQ(r.NameOrOrdinal() + r.NameOrOrdinal(), "");  // no menu, no class of its own
  EXPECT_EQ(r.NameOrOrdinal(), kCaption);
  EXPECT_EQ(style & (WS_CAPTION | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME),
            DWORD{WS_CAPTION | WS_MINIMIZEBOX});  // fixed size, minimizable
  r.pos += 6;                                     // points, weight, italic and character set
  r.NameOrOrdinal();                              // the font
  ASSERT_EQ(count, DialogControls().size());
  for (const ControlTemplate& want : DialogControls()) {
    r.pos = ((r.pos + 3) & ~size_t{3}) + 8;  // aligned; help id, extended style
    const DWORD control_style = r.Dword();
    r.pos += 8;  // place
    const int id = static_cast<short>(r.Dword());
    const std::string window_class = r.NameOrOrdinal(), text = r.NameOrOrdinal();
    r.pos += r.Word();  // extra bytes
    SCOPED_TRACE(std::string(want.text) + " " + std::to_string(want.id));
    EXPECT_EQ(id, want.id);
    EXPECT_EQ(std::pair(window_class, control_style & 0x0F),
              kInResource[static_cast<int>(want.kind)]);
    EXPECT_EQ(text, want.text);
    EXPECT_EQ((control_style & ES_READONLY) != 0 && window_class == "#129",
              want.kind == ControlKind::kReadOnlyField);
  }
  FreeLibrary(module);
}

}  // namespace
}  // namespace cartidex::test
