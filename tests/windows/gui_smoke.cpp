// cartidex_gui_smoke EXPECTED_INFO LOG_PATH SCREENSHOT.bmp: drives a running Cartidex.exe from
// outside as a person at the screen would. It finds the window by its caption, reads the
// information line, ticks "Move known files to:" and sees its field come alive, saves a
// screenshot and closes the window with WM_CLOSE (gui_smoke.sh sees the program end and its log
// go). Prints one line per check; exit status 0 when every check passed.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr char kCaption[] = "Cartidex 1.3.1";
constexpr int kInfoLine = 1013, kMoveKnown = 1020, kMoveKnownField = 1021;
int g_failures = 0;

void Check(bool ok, const std::string& what) {
  std::printf("%s: %s\n", ok ? "ok" : "FAILED", what.c_str());
  std::fflush(stdout);
  if (!ok) ++g_failures;
}

// Asked with WM_GETTEXT: GetWindowTextA does not ask another process.
std::string ControlText(HWND control) {
  std::vector<char> text(static_cast<size_t>(SendMessageA(control, WM_GETTEXTLENGTH, 0, 0)) + 1);
  const LRESULT got =
      SendMessageA(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  return std::string(text.data(), static_cast<size_t>(got));
}

// Copies the window's rectangle of the screen into a 24-bit BMP file.
bool Screenshot(HWND window, const std::string& path) {
  RECT r;
  if (!GetWindowRect(window, &r)) return false;
  BITMAPINFOHEADER info = {
      sizeof info, r.right - r.left, r.bottom - r.top, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  const DWORD image = (static_cast<DWORD>(info.biWidth) * 3 + 3) / 4 * 4 * info.biHeight;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                    &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  bool ok = bitmap != nullptr &&
            BitBlt(memory, 0, 0, info.biWidth, info.biHeight, screen, r.left, r.top, SRCCOPY);
  GdiFlush();
  if (ok) {
    const DWORD offset = sizeof(BITMAPFILEHEADER) + sizeof info;
    const BITMAPFILEHEADER file = {0x4D42 /* "BM" */, offset + image, 0, 0, offset};
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info), sizeof info);
    ok = static_cast<bool>(out.write(static_cast<const char*>(bits), image));
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
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
  // The window is found before its initialisation has run; it counts once it is shown.
  HWND window = nullptr;
  for (int i = 0; i < 1200 && (window == nullptr || !IsWindowVisible(window)); ++i) {
    Sleep(100);  // up to two minutes
    window = FindWindowA(nullptr, kCaption);
  }
  Check(window != nullptr && IsWindowVisible(window), "window found");
  if (g_failures > 0) return 1;
  const std::string info = ControlText(GetDlgItem(window, kInfoLine));
  Check(info == expected_info, "information line reads \"" + info + "\"");
  Check(GetFileAttributesA(log_path.c_str()) != INVALID_FILE_ATTRIBUTES,
        "log " + log_path + " exists while the window is open");
  HWND field = GetDlgItem(window, kMoveKnownField);
  Check(field != nullptr && !IsWindowEnabled(field), "\"Move known files to:\" field disabled");
  SendMessageA(GetDlgItem(window, kMoveKnown), BM_CLICK, 0, 0);
  Check(IsWindowEnabled(field), "ticking \"Move known files to:\" enables its field");
  SendMessageA(GetDlgItem(window, kMoveKnown), BM_CLICK, 0, 0);
  Check(!IsWindowEnabled(field), "unticking it disables the field again");
  Sleep(500);  // let the window repaint before the picture is taken
  Check(Screenshot(window, screenshot), "screenshot written to " + screenshot);

  PostMessageA(window, WM_CLOSE, 0, 0);
  return g_failures == 0 ? 0 : 1;
}
