// The main dialog as the rest of the program sees it: controls named by their ids, whose texts
// can be set and read, check boxes that can be asked, controls that can be enabled, the two
// choosers and a message box. Each front-end (headless, Qt, Win32) implements it over its window.
#ifndef CARTIDEX_PLATFORM_DIALOG_VIEW_H_
#define CARTIDEX_PLATFORM_DIALOG_VIEW_H_

#include <optional>
#include <string>
#include <string_view>

namespace cartidex {

// Control ids of dialog resource 9.
enum ControlId : int {
  kIdSingleRom = 1001,
  kIdCrcField = 1003,
  kIdNameLabel = 1004,
  kIdNameField = 1005,
  kIdSystemLabel = 1006,
  kIdSystemField = 1007,
  kIdFilenameLabel = 1008,
  kIdFilenameField = 1009,
  kIdInfoLine = 1013,
  kIdDirectory = 1014,
  kIdSizeField = 1015,
  kIdRename = 1018,
  kIdReloadAll = 1019,
  kIdMoveKnown = 1020,
  kIdMoveKnownField = 1021,
  kIdMoveKnownBrowse = 1022,
  kIdMoveUnknownField = 1023,
  kIdMoveUnknown = 1024,
  kIdMoveUnknownBrowse = 1025,
  kIdSubdirs = 1026,
  kIdHelp = 1027,
  kIdGenerate = 1032,
};

class DialogView {
 public:
  virtual ~DialogView() = default;

  virtual void SetText(int id, std::string_view text) = 0;
  // The control's whole text.
  virtual std::string GetText(int id) = 0;
  virtual bool IsChecked(int id) = 0;
  virtual void Enable(int id, bool enabled) = 0;
  // The file chooser ("Open a rom"): the chosen existing file, or nothing on cancel.
  virtual std::optional<std::string> ChooseFile() = 0;
  // The folder chooser ("Choose the path"): the chosen folder, or nothing on cancel.
  virtual std::optional<std::string> ChooseFolder() = 0;
  // A message box owned by the dialog with one OK button.
  virtual void ShowMessage(std::string_view text, std::string_view caption) = 0;
  // Called during long work after each file: lets the window repaint and react. Returns false
  // when the user has asked to close, so that the work stops after the current file.
  virtual bool KeepAlive() { return true; }
};

}  // namespace cartidex

#endif  // CARTIDEX_PLATFORM_DIALOG_VIEW_H_
