// Cartidex.exe: the start-up, the modal main dialog (resource 9) and the shutdown.
#include <windows.h>

#include <memory>
#include <string>

#include "app/main_dialog.h"
#include "app/startup.h"
#include "platform/program_folder.h"
#include "win32/resource_ids.h"
#include "win32/win32_dialog_view.h"

namespace cartidex {
namespace {

HINSTANCE g_instance = nullptr;

// The dialog's logic and its view, for the life of the one window.
struct DialogState {
  explicit DialogState(HWND window) : view(window), dialog(&view) {}
  Win32DialogView view;
  MainDialog dialog;
};

std::unique_ptr<DialogState> g_state;

// Ends the dialog through the quit message: DialogBoxParamA's loop stops on it and returns.
void CloseNow() {
  if (g_state->dialog.Close()) PostQuitMessage(0);
}

INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM w_param, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: {
      g_state = std::make_unique<DialogState>(window);
      HICON icon = LoadIconA(g_instance, MAKEINTRESOURCEA(CARTIDEX_ICON_ID));
      if (icon != nullptr) SetClassLongPtrA(window, GCLP_HICON, reinterpret_cast<LONG_PTR>(icon));
      g_state->dialog.Init();
      return FALSE;  // no initial focus is set
    }
    case WM_COMMAND:
      if (g_state == nullptr) return FALSE;
      // Only the control id counts; the notification code is never looked at.
      if (g_state->dialog.Command(LOWORD(w_param)) && g_state->dialog.close_requested()) {
        CloseNow();
      }
      return FALSE;
    case WM_CLOSE:
      if (g_state == nullptr) return TRUE;
      if (g_state->dialog.busy()) {
        // A walk is running: it stops after the current file, and the close follows.
        g_state->view.SetCloseRequested();
        g_state->dialog.Close();
      } else {
        CloseNow();
      }
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace
}  // namespace cartidex

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  using namespace cartidex;
  g_instance = instance;
  // One Cartidex at a time on a program folder: a second would empty the first one's scratch
  // folder and delete its log.
  std::unique_ptr<FolderLock> lock;
  if (!ClaimProgramFolder(std::string(), &lock)) {
    const std::string text = "Another Cartidex is running in " + ProgramFolder() + ".";
    MessageBoxA(nullptr, text.c_str(), kCaption, MB_OK | MB_ICONWARNING);
    return 3;
  }
  Startup(std::string());
  DialogBoxParamA(instance, MAKEINTRESOURCEA(CARTIDEX_DIALOG_ID), nullptr, MainDialogProc, 0);
  g_state.reset();
  Shutdown();
  return 0;
}
