// The window on a real X server: its size is the template's 211 x 209 dialog units measured
// with the dialog font, every control's text fits, and a screenshot is saved for the README.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFontMetricsF>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTest>
#include <cstdio>
#include <string>

#include "app/startup.h"
#include "platform/dialog_view.h"
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

    // The conversion worked out anew from the font the window shows.
    const QFont& font = window.font();
    EXPECT_EQ(font.pointSize(), 8);
    QFontMetricsF metrics(font);
    const QString letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    double unit_x = metrics.horizontalAdvance(letters) / letters.size() / 4.0;
    double unit_y = metrics.height() / 8.0;
    double want_width = kTemplateWidth * unit_x, want_height = kTemplateHeight * unit_y;
    QSize got = window.size();
    std::printf("font %s %dpt; average char width %.2f px, height %.2f px\n",
                font.family().toUtf8().constData(), font.pointSize(),
                metrics.horizontalAdvance(letters) / letters.size(), metrics.height());
    std::printf("window %d x %d px; template 211 x 209 dialog units = %.1f x %.1f px\n",
                got.width(), got.height(), want_width, want_height);
    EXPECT_NEAR(got.width(), want_width, want_width * 0.10);
    EXPECT_NEAR(got.height(), want_height, want_height * 0.10);

    // Nothing is cut off: every control lies inside the window and shows its whole text.
    const QRect inside(QPoint(0, 0), got);
    for (QWidget* control : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      const QString name = control->property("text").toString();
      EXPECT_TRUE(inside.contains(control->geometry())) << name.toStdString();
      if (qobject_cast<QPushButton*>(control) != nullptr) {
        // The style's minimum button width is no text; the text and its margins must fit.
        const int margins = 2 * control->style()->pixelMetric(QStyle::PM_ButtonMargin);
        EXPECT_LE(control->fontMetrics().horizontalAdvance(name) + margins, control->width())
            << name.toStdString();
      } else if (qobject_cast<QAbstractButton*>(control) != nullptr ||
                 qobject_cast<QLabel*>(control) != nullptr) {
        EXPECT_LE(control->sizeHint().width(), control->width()) << name.toStdString();
      }
    }
    EXPECT_EQ(window.GetText(kIdInfoLine), "3 roms in database");

    // What the X server shows, for the README.
    const QByteArray path = qgetenv("CARTIDEX_SCREENSHOT");
    if (!path.isEmpty()) {
      QApplication::processEvents();
      QPixmap shot = window.screen()->grabWindow(window.winId());
      ASSERT_FALSE(shot.isNull());
      EXPECT_EQ(shot.size(), got * window.devicePixelRatio());
      EXPECT_TRUE(shot.save(QString::fromLocal8Bit(path), "PNG"));
    }
    window.close();
  }
  Shutdown();
}

}  // namespace
}  // namespace cartidex::test

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  return RUN_ALL_TESTS();
}
