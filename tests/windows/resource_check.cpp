// The resources of the built Cartidex.exe, read back through the Windows resource calls: dialog
// 9 control by control, icon 9, the version record, and French (France) as the language of all
// three. The file is loaded as data, never run: CARTIDEX_CHECKED_EXE names another Cartidex.exe to
// read (the x86-64 checker reads the i686 program where no 32-bit program can run).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "platform/dialog_view.h"
#include "qt/dialog_template.h"

namespace cartidex::test {
namespace {

const WORD kFrench = MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH);  // 0x040C

const char* ExePath() {
  const char* other = std::getenv("CARTIDEX_CHECKED_EXE");
  return other != nullptr && *other != '\0' ? other : CARTIDEX_GUI_EXE;
}

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
    module_ = LoadLibraryExA(ExePath(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module_, nullptr) << "cannot load " << ExePath();
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
  DWORD style;
  short x, y, cx, cy;
  int id;
  std::string kind, text;
};

// The window class ordinal and style bits that a template control kind becomes in the resource.
struct KindInResource {
  const char* window_class;
  DWORD type;  // the low four style bits: the static's alignment or the button's kind
  bool read_only;
};
KindInResource InResource(ControlKind kind) {
  switch (kind) {
    case ControlKind::kLabel:
      return {"#130", SS_LEFT, false};
    case ControlKind::kCentredLabel:
      return {"#130", SS_CENTER, false};
    case ControlKind::kReadOnlyField:
      return {"#129", ES_LEFT, true};
    case ControlKind::kField:
      return {"#129", ES_LEFT, false};
    case ControlKind::kButton:
      return {"#128", BS_PUSHBUTTON, false};
    case ControlKind::kDefaultButton:
      return {"#128", BS_DEFPUSHBUTTON, false};
    case ControlKind::kCheckBox:
      return {"#128", BS_AUTOCHECKBOX, false};
  }
  return {"", 0, false};
}

// Dialog 9 holds the controls of the Qt window's template, in the same tab order, with the same
// ids, kinds and texts: the two front-ends show one dialog.
TEST_F(ExeResources, Dialog9IsTheMainDialog) {
  EXPECT_EQ(Languages(RT_DIALOG, 9), std::vector<WORD>{kFrench});
  std::string data = Resource(RT_DIALOG, 9);
  ASSERT_FALSE(data.empty());
  TemplateReader r(data);
  ASSERT_EQ(r.Word(), 1);       // dlgVer: an extended template
  ASSERT_EQ(r.Word(), 0xFFFF);  // signature
  r.Dword();                    // help id
  r.Dword();                    // extended style
  const DWORD style = r.Dword();
  const WORD count = r.Word();
  const short x = r.Short(), y = r.Short(), cx = r.Short(), cy = r.Short();
  EXPECT_EQ(r.NameOrOrdinal(), "");  // no menu
  EXPECT_EQ(r.NameOrOrdinal(), "");  // no class of its own
  EXPECT_EQ(Narrow(r.String()), "Cartidex 1.3.1");
  EXPECT_EQ(x, kTemplateLeft);
  EXPECT_EQ(y, kTemplateTop);
  EXPECT_EQ(cx, kTemplateWidth);
  EXPECT_EQ(cy, kTemplateHeight);
  // A fixed-size pop-up that can be minimized.
  const DWORD kWanted = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  EXPECT_EQ(style & kWanted, kWanted);
  EXPECT_EQ(style & (WS_MAXIMIZEBOX | WS_THICKFRAME | WS_CHILD), 0u);
  r.Word();  // points
  r.Word();  // weight
  r.Byte();  // italic
  r.Byte();  // character set
  r.String();

  const std::span<const ControlTemplate> wanted = DialogControls();
  ASSERT_EQ(count, wanted.size());
  for (const ControlTemplate& want : wanted) {
    r.AlignDword();
    Control c;
    r.Dword();  // help id
    r.Dword();  // extended style
    c.style = r.Dword();
    c.x = r.Short();
    c.y = r.Short();
    c.cx = r.Short();
    c.cy = r.Short();
    c.id = static_cast<int>(static_cast<short>(r.Dword()));
    c.kind = r.NameOrOrdinal();
    c.text = r.NameOrOrdinal();
    r.Skip(r.Word());
    SCOPED_TRACE(std::string("control \"") + want.text + "\" " + std::to_string(want.id));
    const KindInResource kind = InResource(want.kind);
    EXPECT_EQ(c.id, want.id);
    EXPECT_EQ(c.kind, kind.window_class);
    EXPECT_EQ(c.text, want.text);
    EXPECT_EQ(c.style & 0x0F, kind.type);
    EXPECT_EQ((c.style & ES_READONLY) != 0 && c.kind == "#129", kind.read_only);
    EXPECT_NE(c.style & WS_VISIBLE, 0u);
    EXPECT_EQ((c.style & WS_TABSTOP) != 0, c.kind != "#130");
    EXPECT_TRUE(c.x >= 0 && c.y >= 0 && c.x + c.cx <= cx && c.y + c.cy <= cy);
  }
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
  DWORD size = GetFileVersionInfoSizeA(ExePath(), &ignored);
  ASSERT_GT(size, 0u);
  std::vector<char> info(size);
  ASSERT_TRUE(GetFileVersionInfoA(ExePath(), 0, size, info.data()));
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
