// cartidex: the main window. It reads no command line; its home is its own folder.
#include <QApplication>
#include <QMessageBox>
#include <memory>
#include <string>

#include "app/startup.h"
#include "platform/program_folder.h"
#include "qt/main_window.h"

int main(int argc, char** argv) {
  // Qt gets the program's name only, so that no argument changes what the window does.
  static char fallback_name[] = "cartidex";
  int qt_argc = 1;
  char* qt_argv[] = {argc > 0 && argv[0] != nullptr ? argv[0] : fallback_name, nullptr};
  QApplication app(qt_argc, qt_argv);

  // One Cartidex at a time on a program folder: a second would empty the first one's scratch
  // folder and delete its log.
  std::unique_ptr<cartidex::FolderLock> lock;
  if (!cartidex::ClaimProgramFolder(std::string(), &lock)) {
    const std::string text = "Another Cartidex is running in " + cartidex::ProgramFolder() + ".";
    QMessageBox box(QMessageBox::Warning, QString::fromLocal8Bit(cartidex::kCaption),
                    QString::fromLocal8Bit(text), QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.exec();
    return 3;
  }
  cartidex::Startup(std::string());
  {
    cartidex::MainWindow window;
    window.show();
    app.exec();
  }
  cartidex::Shutdown();
  return 0;
}
