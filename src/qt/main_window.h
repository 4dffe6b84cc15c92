// MainWindow: the main dialog as a Qt window. It only builds the controls of the template and
// shows what MainDialog tells it; every command goes to MainDialog, which does the work.
#ifndef CARTIDEX_QT_MAIN_WINDOW_H_
#define CARTIDEX_QT_MAIN_WINDOW_H_

#include <QDialog>
#include <QString>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "app/main_dialog.h"
#include "platform/dialog_view.h"

namespace cartidex {

class MainWindow : public QDialog, public DialogView {
 public:
  // Answers a chooser in place of the real one (tests): gets the chooser's title, gives the path
  // or nothing for a cancel.
  using ChooserHook = std::function<std::optional<std::string>(const QString& title)>;

  // Builds the controls, the caption, the icon and the fixed size, then runs the first refresh.
  explicit MainWindow(QWidget* parent = nullptr);

  void SetText(int id, std::string_view text) override;
  std::string GetText(int id) override;
  bool IsChecked(int id) override;
  void Enable(int id, bool enabled) override;
  // Both choosers are modal to this window, so no other command can start while one is open.
  std::optional<std::string> ChooseFile() override;
  std::optional<std::string> ChooseFolder() override;
  void ShowMessage(std::string_view text, std::string_view caption) override;
  // Lets the window paint and take the close box; false once closing was asked for.
  bool KeepAlive() override;

  void SetChooserHook(ChooserHook hook) { chooser_hook_ = std::move(hook); }
  // The control with this id (null for an unknown id).
  QWidget* Control(int id) const;
  MainDialog& dialog() { return dialog_; }

 protected:
  // The close box, the system menu and Alt+F4. During a command, closing waits for its end.
  void closeEvent(QCloseEvent* event) override;

 public:
  // Esc: the refresh only; the window stays open.
  void reject() override;

 private:
  void BuildControls();
  // Hands one press to MainDialog and closes the window when a close came in meanwhile.
  void RunCommand(int id);

  MainDialog dialog_;
  std::map<int, QWidget*> controls_;
  ChooserHook chooser_hook_;
};

}  // namespace cartidex

#endif  // CARTIDEX_QT_MAIN_WINDOW_H_
