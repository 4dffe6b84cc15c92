// The resources of the built Cartidex.exe, read back through the Windows resource calls: dialog
// 9 control by control, icon 9, the version record, and French (France) as the language of all
// three.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/dialog_view.h"

namespace cartidex::test {
namespace {

const WORD kFrench = MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH);  // 0x040C

std::string Narrow(const std::wstring& w) {
  return std::string(w.begin(), w.end());
}

BOOL CALLBACK AddLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR param) {
  reinterpret_cast<std::vector<WORD>*>(param)->push_back(language);
  return TRUE;
}

class ExeResources : public testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryExA(CARTIDEX_GUI_EXE, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module_, nullptr) << "cannot load " << CARTIDEX_GUI_EXE;
  }
  void TearDown() override {
    if (module_ != nullptr) FreeLibrary(module_);
  }
  // The bytes of one resource in French (France); empty when there is none.
  std::string Resource(LPCSTR type, int id) {
    HRSRC found = FindResourceExA(module_, type, MAKEINTRESOURCEA(id), kFrench);
    if (found == nullptr) return std::string();
    HGLOBAL loaded = LoadResource(module_, found);
    const char* data = static_cast<const char*>(LockResource(loaded));
    return std::string(data, SizeofResource(module_, found));
  }
  // The languages a resource exists in.
  std::vector<WORD> Languages(LPCSTR type, int id) {
    std::vector<WORD> languages;
    EnumResourceLanguagesA(module_, type, MAKEINTRESOURCEA(id), AddLanguage,
                           reinterpret_cast<LONG_PTR>(&languages));
    return languages;
  }
  HMODULE module_ = nullptr;
};

// Reads a DLGTEMPLATEEX field by field.
class TemplateReader {
 public:
  explicit TemplateReader(const std::string& data) : data_(data) {}
  WORD Word() {
    WORD v = 0;
    if (pos_ + 2 <= data_.size()) std::memcpy(&v, data_.data() + pos_, 2);
    pos_ += 2;
    return v;
  }
  DWORD Dword() {
    DWORD lo = Word();
    return lo | (static_cast<DWORD>(Word()) << 16);
  }
  short Short() { return static_cast<short>(Word()); }
  BYTE Byte() { return pos_ < data_.size() ? static_cast<BYTE>(data_[pos_++]) : 0; }
  std::wstring String() {
    std::wstring s;
    for (WORD c = Word(); c != 0 && pos_ <= data_.size(); c = Word()) s.push_back(c);
    return s;
  }
  // sz_Or_Ord: nothing (""), an ordinal ("#n") or a string.
  std::string NameOrOrdinal() {
    WORD first = Word();
    if (first == 0) return std::string();
    if (first == 0xFFFF) return "#" + std::to_string(Word());
    pos_ -= 2;
    return Narrow(String());
  }
  void AlignDword() { pos_ = (pos_ + 3) & ~static_cast<size_t>(3); }
  void Skip(size_t n) { pos_ += n; }
  bool AtEnd() const { return pos_ >= data_.size(); }

 private:
  const std::string& data_;
  size_t pos_ = 0;
};

struct Control {
  DWORD style, ex_style;
  short x, y, cx, cy;
  int id;
  std::string kind, text;
};

constexpr char kButton[] = "#128";
constexpr char kEdit[] = "#129";
constexpr char kStatic[] = "#130";

TEST_F(ExeResources, Dialog9IsTheMainDialog) {
  EXPECT_EQ(Languages(RT_DIALOG, 9), std::vector<WORD>{kFrench});
  std::string data = Resource(RT_DIALOG, 9);
  ASSERT_FALSE(data.empty());
  TemplateReader r(data);
  ASSERT_EQ(r.Word(), 1);       // dlgVer: an extended template
  ASSERT_EQ(r.Word(), 0xFFFF);  // signature
  r.Dword();                    // help id
  DWORD ex_style = r.Dword();
  DWORD style = r.Dword();
  WORD count = r.Word();
  short x = r.Short(), y = r.Short(), cx = r.Short(), cy = r.Short();
  EXPECT_EQ(r.NameOrOrdinal(), "");  // no menu
  EXPECT_EQ(r.NameOrOrdinal(), "");  // no class of its own
  EXPECT_EQ(Narrow(r.String()), "Cartidex 1.3.1");
  EXPECT_EQ(x, 100);
  EXPECT_EQ(y, 75);
  EXPECT_EQ(cx, 211);
  EXPECT_EQ(cy, 209);
  const DWORD kWanted =
      DS_MODALFRAME | DS_3DLOOK | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  EXPECT_EQ(style & kWanted, kWanted);
  EXPECT_EQ(style & (WS_MAXIMIZEBOX | WS_THICKFRAME | WS_CHILD), 0u);
  EXPECT_EQ(ex_style & WS_EX_STATICEDGE, static_cast<DWORD>(WS_EX_STATICEDGE));
  EXPECT_EQ(r.Word(), 8);    // points
  EXPECT_EQ(r.Word(), 400);  // normal weight
  EXPECT_EQ(r.Byte(), 0);    // not italic
  r.Byte();                  // character set
  EXPECT_EQ(Narrow(r.String()), "MS Sans Serif");

  std::vector<Control> controls;
  for (int i = 0; i < count; ++i) {
    r.AlignDword();
    Control c;
    r.Dword();  // help id
    c.ex_style = r.Dword();
    c.style = r.Dword();
    c.x = r.Short();
    c.y = r.Short();
    c.cx = r.Short();
    c.cy = r.Short();
    c.id = static_cast<int>(r.Dword());
    c.kind = r.NameOrOrdinal();
    c.text = r.NameOrOrdinal();
    r.Skip(r.Word());
    controls.push_back(c);
  }

  // id, kind, text, the row of the layout it stands in.
  struct Expected {
    int id;
    const char* kind;
    const char* text;
    int row;
  };
  const Expected kControls[] = {
      {kIdFilenameLabel, kStatic, "Filename: ", 1},
      {kIdFilenameField, kEdit, "", 1},
      {kIdNameLabel, kStatic, "Name: ", 2},
      {kIdNameField, kEdit, "", 2},
      {kIdSystemLabel, kStatic, "System: ", 3},
      {kIdSystemField, kEdit, "", 3},
      {-1, kStatic, "CRC32: ", 4},
      {kIdCrcField, kEdit, "", 4},
      {-1, kStatic, "Size:", 4},
      {kIdSizeField, kEdit, "", 4},
      {kIdSingleRom, kButton, "Single rom", 5},
      {kIdDirectory, kButton, "Directory", 5},
      {kIdReloadAll, kButton, "Reload all", 6},
      {kIdGenerate, kButton, "Generate", 6},
      {kIdInfoLine, kStatic, "Informations", 7},
      {kIdRename, kButton, "Rename", 8},
      {kIdSubdirs, kButton, "Include subdirectories", 8},
      {kIdMoveKnown, kButton, "Move known files to:", 9},
      {kIdMoveKnownField, kEdit, "", 10},
      {kIdMoveKnownBrowse, kButton, "Browse", 10},
      {kIdMoveUnknown, kButton, "Move unknown files to:", 11},
      {kIdMoveUnknownField, kEdit, "", 12},
      {kIdMoveUnknownBrowse, kButton, "Browse", 12},
      {kIdHelp, kButton, "Help for directories", 13},
  };
  ASSERT_EQ(controls.size(), std::size(kControls));
  for (size_t i = 0; i < controls.size(); ++i) {
    const Control& c = controls[i];
    const Expected& e = kControls[i];
    SCOPED_TRACE("control " + std::to_string(i) + " (" + e.text + ")");
    EXPECT_EQ(static_cast<int>(static_cast<short>(c.id)), e.id);
    EXPECT_EQ(c.kind, e.kind);
    EXPECT_EQ(c.text, e.text);
    EXPECT_NE(c.style & WS_CHILD, 0u);
    EXPECT_NE(c.style & WS_VISIBLE, 0u);
    DWORD type = c.style & 0x0F;
    if (c.kind == kStatic) {
      EXPECT_EQ(type, static_cast<DWORD>(e.id == kIdInfoLine ? SS_CENTER : SS_LEFT));
      EXPECT_EQ(c.style & WS_TABSTOP, 0u);
    } else {
      EXPECT_NE(c.style & WS_TABSTOP, 0u);
    }
    if (c.kind == kEdit) {
      EXPECT_NE(c.style & WS_BORDER, 0u);
      EXPECT_NE(c.style & ES_AUTOHSCROLL, 0u);
      EXPECT_EQ(c.style & ES_MULTILINE, 0u);
      bool read_only = e.id != kIdMoveKnownField && e.id != kIdMoveUnknownField;
      EXPECT_EQ((c.style & ES_READONLY) != 0, read_only);
    }
    if (c.kind == kButton) {
      DWORD want = BS_PUSHBUTTON;
      if (e.id == kIdSingleRom) want = BS_DEFPUSHBUTTON;
      if (e.id == kIdRename || e.id == kIdSubdirs || e.id == kIdMoveKnown ||
          e.id == kIdMoveUnknown) {
        want = BS_AUTOCHECKBOX;
      }
      EXPECT_EQ(type, want);
    }
    // Inside the dialog.
    EXPECT_GE(c.x, 0);
    EXPECT_GE(c.y, 0);
    EXPECT_LE(c.x + c.cx, 211);
    EXPECT_LE(c.y + c.cy, 209);
  }
  // Rows from top to bottom: a row starts below the previous one ends; within a row the
  // controls stand side by side from left to right.
  for (size_t i = 1; i < controls.size(); ++i) {
    const Control &a = controls[i - 1], &b = controls[i];
    SCOPED_TRACE("controls " + std::to_string(i - 1) + " and " + std::to_string(i));
    if (kControls[i].row == kControls[i - 1].row) {
      EXPECT_LE(std::abs(a.y - b.y), 3);
      EXPECT_GE(b.x, a.x + a.cx);
    } else {
      EXPECT_GE(b.y, std::min(a.y + a.cy, static_cast<int>(a.y) + 8));
    }
  }
  // The information line spans the width; the help button is centred.
  const Control& info = controls[14];
  EXPECT_GE(info.cx, 190);
  const Control& help = controls.back();
  EXPECT_LE(std::abs((help.x + help.cx / 2) - 211 / 2), 2);
}

TEST_F(ExeResources, Icon9IsOne32By32ImageIn16Colours) {
  EXPECT_EQ(Languages(RT_GROUP_ICON, 9), std::vector<WORD>{kFrench});
  std::string group = Resource(RT_GROUP_ICON, 9);
  ASSERT_EQ(group.size(), 6u + 14u);  // GRPICONDIR with one entry
  TemplateReader r(group);
  EXPECT_EQ(r.Word(), 0);
  EXPECT_EQ(r.Word(), 1);  // an icon
  EXPECT_EQ(r.Word(), 1);  // one image
  EXPECT_EQ(r.Byte(), 32);
  EXPECT_EQ(r.Byte(), 32);
  EXPECT_EQ(r.Byte(), 16);  // colours
  r.Byte();
  EXPECT_EQ(r.Word(), 1);  // planes
  EXPECT_EQ(r.Word(), 4);  // bits per pixel
  DWORD size = r.Dword();
  WORD image_id = r.Word();
  std::string image = Resource(RT_ICON, image_id);
  ASSERT_EQ(image.size(), size);
  // The image is the one made from the XPM at build time.
  std::ifstream ico(CARTIDEX_ICO, std::ios::binary);
  ASSERT_TRUE(ico) << CARTIDEX_ICO;
  std::stringstream bytes;
  bytes << ico.rdbuf();
  EXPECT_EQ(bytes.str().substr(22), image);
  // And it loads as a 32 x 32 icon.
  HICON icon = static_cast<HICON>(
      LoadImageA(module_, MAKEINTRESOURCEA(9), IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR));
  EXPECT_NE(icon, nullptr);
  if (icon != nullptr) DestroyIcon(icon);
}

TEST_F(ExeResources, VersionRecordIs131InFrench) {
  EXPECT_EQ(Languages(RT_VERSION, 1), std::vector<WORD>{kFrench});
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeA(CARTIDEX_GUI_EXE, &ignored);
  ASSERT_GT(size, 0u);
  std::vector<char> info(size);
  ASSERT_TRUE(GetFileVersionInfoA(CARTIDEX_GUI_EXE, 0, size, info.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010003u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0x00010000u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010003u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0x00010000u);
  WORD* translation = nullptr;
  ASSERT_TRUE(VerQueryValueA(info.data(), "\\VarFileInfo\\Translation",
                             reinterpret_cast<void**>(&translation), &length));
  ASSERT_EQ(length, 4u);
  EXPECT_EQ(translation[0], kFrench);
  EXPECT_EQ(translation[1], 1252);
  auto text = [&](const char* name) {
    char* value = nullptr;
    UINT n = 0;
    std::string key = std::string("\\StringFileInfo\\040c04e4\\") + name;
    if (!VerQueryValueA(info.data(), key.c_str(), reinterpret_cast<void**>(&value), &n)) {
      return std::string("(missing)");
    }
    return std::string(value);
  };
  EXPECT_EQ(text("FileDescription"), "Cartidex");
  EXPECT_EQ(text("InternalName"), "Cartidex");
  EXPECT_EQ(text("ProductName"), "Cartidex");
  EXPECT_EQ(text("OriginalFilename"), "Cartidex.exe");
  EXPECT_EQ(text("FileVersion"), "1.3.1");
  EXPECT_EQ(text("ProductVersion"), "1.3.1");
}

TEST_F(ExeResources, ManifestMakesUtf8TheActiveCodePage) {
  std::string manifest;
  HRSRC found = FindResourceA(module_, MAKEINTRESOURCEA(1), RT_MANIFEST);
  ASSERT_NE(found, nullptr);
  manifest.assign(static_cast<const char*>(LockResource(LoadResource(module_, found))),
                  SizeofResource(module_, found));
  EXPECT_NE(manifest.find("<activeCodePage"), std::string::npos);
  EXPECT_NE(manifest.find(">UTF-8</activeCodePage>"), std::string::npos);
  // This test program carries the same manifest: the system took it.
  EXPECT_EQ(GetACP(), 65001u);
}

}  // namespace
}  // namespace cartidex::test
