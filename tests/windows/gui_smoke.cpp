// cartidex_gui_smoke: drives a running Cartidex.exe from outside, as a person at the screen would.
// It finds the main window by its caption, reads the information line, ticks "Move known files
// to:" and sees its field come alive, takes a screenshot, closes the window with WM_CLOSE and
// checks that the program ended and its log is gone.
//
// Usage: cartidex_gui_smoke EXPECTED_INFO LOG_PATH SCREENSHOT.bmp
// Prints one line per check; exit status 0 when every check passed.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr char kCaption[] = "Cartidex 1.3.1";
constexpr int kInfoLine = 1013;
constexpr int kMoveKnown = 1020;
constexpr int kMoveKnownField = 1021;

int g_failures = 0;

void Check(bool ok, const std::string& what) {
  std::printf("%s: %s\n", ok ? "ok" : "FAILED", what.c_str());
  std::fflush(stdout);
  if (!ok) ++g_failures;
}

// A control's text, asked with WM_GETTEXT (GetWindowTextA does not ask another process).
std::string ControlText(HWND control) {
  LRESULT length = SendMessageA(control, WM_GETTEXTLENGTH, 0, 0);
  std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
  LRESULT got =
      SendMessageA(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  return std::string(text.data(), static_cast<size_t>(got));
}

bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Copies the window's rectangle of the screen into a 24-bit BMP file.
bool Screenshot(HWND window, const std::string& path) {
  RECT r;
  if (!GetWindowRect(window, &r)) return false;
  int width = r.right - r.left, height = r.bottom - r.top;
  if (width <= 0 || height <= 0) return false;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // bottom-up, as a BMP file stores it
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool ok = false;
  if (bitmap != nullptr) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    ok = BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY) != 0;
    GdiFlush();
    SelectObject(memory, old);
    if (ok) {
      DWORD row = ((static_cast<DWORD>(width) * 3 + 3) / 4) * 4;
      DWORD image = row * static_cast<DWORD>(height);
      BITMAPFILEHEADER file = {};
      file.bfType = 0x4D42;  // "BM"
      file.bfOffBits = sizeof file + sizeof info.bmiHeader;
      file.bfSize = file.bfOffBits + image;
      std::ofstream out(path, std::ios::binary | std::ios::trunc);
      out.write(reinterpret_cast<const char*>(&file), sizeof file);
      out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
      out.write(static_cast<const char*>(bits), image);
      ok = static_cast<bool>(out);
    }
    DeleteObject(bitmap);
  }
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: cartidex_gui_smoke EXPECTED_INFO LOG_PATH SCREENSHOT.bmp\n");
    return 2;
  }
  const std::string expected_info = argv[1], log_path = argv[2], screenshot = argv[3];

  // The window exists (and FindWindowA sees it) before WM_INITDIALOG has run: it counts as
  // found once it is shown, which happens after its initialisation.
  HWND window = nullptr;
  for (int i = 0; i < 1200 && window == nullptr; ++i) {  // up to two minutes
    window = FindWindowA(nullptr, kCaption);
    if (window != nullptr && !IsWindowVisible(window)) window = nullptr;
    if (window == nullptr) Sleep(100);
  }
  Check(window != nullptr, std::string("window \"") + kCaption + "\" found");
  if (window == nullptr) return 1;
  DWORD process_id = 0;
  GetWindowThreadProcessId(window, &process_id);
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, process_id);

  std::string info = ControlText(GetDlgItem(window, kInfoLine));
  Check(info == expected_info, "information line reads \"" + info + "\"");
  Check(FileExists(log_path), "log " + log_path + " exists while the window is open");

  HWND field = GetDlgItem(window, kMoveKnownField);
  Check(field != nullptr && !IsWindowEnabled(field), "\"Move known files to:\" field disabled");
  SendMessageA(GetDlgItem(window, kMoveKnown), BM_CLICK, 0, 0);
  Check(IsWindowEnabled(field) != 0, "ticking \"Move known files to:\" enables its field");
  SendMessageA(GetDlgItem(window, kMoveKnown), BM_CLICK, 0, 0);
  Check(!IsWindowEnabled(field), "unticking it disables the field again");

  Sleep(500);  // let the window repaint before the picture is taken
  Check(Screenshot(window, screenshot), "screenshot written to " + screenshot);

  PostMessageA(window, WM_CLOSE, 0, 0);
  bool ended = process != nullptr && WaitForSingleObject(process, 60000) == WAIT_OBJECT_0;
  if (process == nullptr) {
    for (int i = 0; i < 600 && IsWindow(window); ++i) Sleep(100);
    ended = !IsWindow(window);
  }
  Check(ended, "the program ended after WM_CLOSE");
  if (process != nullptr) CloseHandle(process);
  Check(!FileExists(log_path), "log gone after the close");
  return g_failures == 0 ? 0 : 1;
}
