// cartidex_gui_smoke, run in the folder of a Cartidex.exe whose datafile holds two ROMs: drives
// the program from outside as a person at the screen would. It finds the window by its caption,
// reads the information line, sees the log exist, ticks "Move known files to:" and sees its field
// come alive, and closes the window with WM_CLOSE (gui_smoke.sh sees the program end and its log
// go). Prints one line per check; exit status 0 when every check passed.
#include <windows.h>

#include <cstdio>
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

}  // namespace

int main() {
  // The window is found before its initialisation has run; it counts once it is shown.
  HWND window = nullptr;
  for (int i = 0; i < 1200 && (window == nullptr || !IsWindowVisible(window)); ++i) {
    Sleep(100);  // up to two minutes
    window = FindWindowA(nullptr, kCaption);
  }
  Check(window != nullptr && IsWindowVisible(window), "window found");
  const std::string info = ControlText(GetDlgItem(window, kInfoLine));
  Check(info == "2 roms in database", "information line reads \"" + info + "\"");
  Check(GetFileAttributesA("log.txt") != INVALID_FILE_ATTRIBUTES, "log.txt exists while open");
  HWND field = GetDlgItem(window, kMoveKnownField);
  Check(field != nullptr && !IsWindowEnabled(field), "\"Move known files to:\" field disabled");
  SendMessageA(GetDlgItem(window, kMoveKnown), BM_CLICK, 0, 0);
  Check(IsWindowEnabled(field), "ticking \"Move known files to:\" enables its field");
  SendMessageA(GetDlgItem(window, kMoveKnown), BM_CLICK, 0, 0);
  Check(!IsWindowEnabled(field), "unticking it disables the field again");

  PostMessageA(window, WM_CLOSE, 0, 0);
  return g_failures == 0 ? 0 : 1;
}
