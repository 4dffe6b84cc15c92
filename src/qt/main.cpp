// cartidex: the main window. It reads no command line; its home is its own folder.
#include <QApplication>
#include <string>

#include "app/startup.h"
#include "qt/main_window.h"

int main(int argc, char** argv) {
  // Qt gets the program's name only, so that no argument changes what the window does.
  static char fallback_name[] = "cartidex";
  int qt_argc = 1;
  char* qt_argv[] = {argc > 0 && argv[0] != nullptr ? argv[0] : fallback_name, nullptr};
  QApplication app(qt_argc, qt_argv);

  cartidex::Startup(std::string());
  {
    cartidex::MainWindow window;
    window.show();
    app.exec();
  }
  cartidex::Shutdown();
  return 0;
}
