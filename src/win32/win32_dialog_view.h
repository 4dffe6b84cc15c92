// Win32DialogView: the main dialog's controls as the portable MainDialog sees them, over the
// window of dialog resource 9. The choosers and the help box are owned by the dialog, so that the
// dialog is disabled while one of them is open and no second command can start from its loop.
#ifndef CARTIDEX_WIN32_WIN32_DIALOG_VIEW_H_
#define CARTIDEX_WIN32_WIN32_DIALOG_VIEW_H_

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "platform/dialog_view.h"

namespace cartidex {

class Win32DialogView : public DialogView {
 public:
  explicit Win32DialogView(HWND dialog) : dialog_(dialog) {}

  void SetText(int id, std::string_view text) override;
  // The whole text, however long: its length is asked first.
  std::string GetText(int id) override;
  bool IsChecked(int id) override;
  void Enable(int id, bool enabled) override;
  // GetOpenFileNameA: "Open a rom", one filter "All types (*.*)", flags 0x100C.
  std::optional<std::string> ChooseFile() override;
  // SHBrowseForFolderA: "Choose the path", flags 0. An item without a file-system path (a
  // virtual folder such as the Control Panel) counts as a cancel.
  std::optional<std::string> ChooseFolder() override;
  void ShowMessage(std::string_view text, std::string_view caption) override;
  // Lets the dialog repaint and take messages during long work; false once the user has asked
  // to close.
  bool KeepAlive() override;

  // Set by the dialog procedure when WM_CLOSE arrives while a command runs.
  void SetCloseRequested() { close_requested_ = true; }

 private:
  HWND dialog_;
  bool close_requested_ = false;
};

}  // namespace cartidex

#endif  // CARTIDEX_WIN32_WIN32_DIALOG_VIEW_H_
