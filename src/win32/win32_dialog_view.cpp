#include "win32/win32_dialog_view.h"

#include <commdlg.h>
#include <shlobj.h>

#include <vector>

namespace cartidex {

namespace {

// The chooser's flags: the file must exist, the current directory stays the program's folder
// (where the log is opened by its relative name), no read-only check box.
constexpr DWORD kOpenFlags = OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
static_assert(kOpenFlags == 0x100C);

// Frees the item list that SHBrowseForFolderA hands back.
class ItemList {
 public:
  explicit ItemList(PIDLIST_ABSOLUTE list) : list_(list) {}
  ~ItemList() {
    if (list_ != nullptr) CoTaskMemFree(list_);
  }
  ItemList(const ItemList&) = delete;
  ItemList& operator=(const ItemList&) = delete;
  PIDLIST_ABSOLUTE get() const { return list_; }

 private:
  PIDLIST_ABSOLUTE list_;
};

}  // namespace

void Win32DialogView::SetText(int id, std::string_view text) {
  std::string copy(text);
  SetDlgItemTextA(dialog_, id, copy.c_str());
}

std::string Win32DialogView::GetText(int id) {
  HWND control = GetDlgItem(dialog_, id);
  if (control == nullptr) return std::string();
  int length = GetWindowTextLengthA(control);
  if (length <= 0) return std::string();
  // The length may be an overestimate (it can count bytes of a conversion that shrinks): the
  // text is cut at what GetDlgItemTextA reports.
  std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
  UINT got = GetDlgItemTextA(dialog_, id, buffer.data(), static_cast<int>(buffer.size()));
  return std::string(buffer.data(), got);
}

bool Win32DialogView::IsChecked(int id) {
  return IsDlgButtonChecked(dialog_, id) == BST_CHECKED;
}

void Win32DialogView::Enable(int id, bool enabled) {
  HWND control = GetDlgItem(dialog_, id);
  if (control != nullptr) EnableWindow(control, enabled ? TRUE : FALSE);
}

std::optional<std::string> Win32DialogView::ChooseFile() {
  // Room for a long path of multi-byte characters; the chooser fails rather than cut one.
  std::vector<char> file(32768, '\0');
  static const char kFilter[] = "All types (*.*)\0*.*\0";
  OPENFILENAMEA ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = dialog_;
  ofn.lpstrFilter = kFilter;
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrTitle = "Open a rom";
  ofn.Flags = kOpenFlags;
  if (!GetOpenFileNameA(&ofn)) return std::nullopt;
  std::string path(file.data());
  if (path.empty()) return std::nullopt;
  return path;
}

std::optional<std::string> Win32DialogView::ChooseFolder() {
  char display_name[MAX_PATH] = "";
  BROWSEINFOA info = {};
  info.hwndOwner = dialog_;
  info.pszDisplayName = display_name;
  info.lpszTitle = "Choose the path";
  info.ulFlags = 0;
  ItemList item(SHBrowseForFolderA(&info));
  if (item.get() == nullptr) return std::nullopt;
  char path[MAX_PATH] = "";
  if (!SHGetPathFromIDListA(item.get(), path) || path[0] == '\0') return std::nullopt;
  return std::string(path);
}

void Win32DialogView::ShowMessage(std::string_view text, std::string_view caption) {
  std::string t(text), c(caption);
  MessageBoxA(dialog_, t.c_str(), c.c_str(), MB_OK);
}

bool Win32DialogView::KeepAlive() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // Not ours to take: the dialog's own loop must see it once the work is over.
      PostQuitMessage(static_cast<int>(msg.wParam));
      close_requested_ = true;
      break;
    }
    if (!IsDialogMessageA(dialog_, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  return !close_requested_;
}

}  // namespace cartidex
