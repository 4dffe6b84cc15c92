// The window on a real X server: its size is the template's dialog units measured with the
// dialog font, every control lies inside it and shows its whole text, and a screenshot is saved
// for the README.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFontMetricsF>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTest>

#include "app/startup.h"
#include "qt/dialog_template.h"
#include "qt/main_window.h"
#include "support/test_util.h"

namespace cartidex::test {
namespace {

TEST(WindowOnScreenTest, SizeMatchesTheDialogUnitsAndTextsFit) {
  ASSERT_EQ(QGuiApplication::platformName(), "xcb") << "run under xvfb-run with an X server";
  TestHome home;
  home.AddDatafile("Demo.cxi", ReadFile(CARTIDEX_DEMO_DATFILE));
  Startup(home.path());
  {
    MainWindow window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    // A dialog unit worked out anew from the font the window shows.
    const QFontMetricsF metrics(window.font());
    const QString letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    const double width = kTemplateWidth * metrics.horizontalAdvance(letters) / letters.size() / 4;
    const double height = kTemplateHeight * metrics.height() / 8;
    EXPECT_NEAR(window.width(), width, width * 0.10);
    EXPECT_NEAR(window.height(), height, height * 0.10);
    for (QWidget* control : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      const QString text = control->property("text").toString();
      EXPECT_TRUE(window.rect().contains(control->geometry())) << text.toStdString();
      int needed = control->sizeHint().width();
      if (qobject_cast<QPushButton*>(control) != nullptr) {
        // The style's minimum button width is no text; the text and its margins must fit.
        needed = control->fontMetrics().horizontalAdvance(text) +
                 2 * control->style()->pixelMetric(QStyle::PM_ButtonMargin);
      } else if (qobject_cast<QAbstractButton*>(control) == nullptr &&
                 qobject_cast<QLabel*>(control) == nullptr) {
        continue;
      }
      EXPECT_LE(needed, control->width()) << text.toStdString();
    }
    const QByteArray path = qgetenv("CARTIDEX_SCREENSHOT");
    if (!path.isEmpty()) {
      QApplication::processEvents();
      EXPECT_TRUE(window.screen()->grabWindow(window.winId()).save(path, "PNG"));
    }
  }
  Shutdown();
}

}  // namespace
}  // namespace cartidex::test
