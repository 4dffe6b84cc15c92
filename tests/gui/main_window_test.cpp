// The main window over a temporary home folder, driven with Qt Test's clicks and keys: every
// command reaches the core. On a real X server, its size and texts against the template.
#include "qt/main_window.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFontMetricsF>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/help_text.h"
#include "app/startup.h"
#include "identify/session_state.h"
#include "qt/dialog_template.h"
#include "support/test_util.h"

namespace cartidex::test {
namespace {

// Hands the next modal box to `inspect` once it is shown, then closes it.
void OnNextModal(std::function<void(QWidget*)> inspect) {
  QTimer::singleShot(0, [inspect] {
    if (QWidget* box = QApplication::activeModalWidget()) {
      inspect(box);
      box->close();
    }
  });
}

class MainWindowTest : public testing::Test {
 protected:
  MainWindowTest() {
    home_.AddDatafile("Example.cxi",
                      "#console#;Game Console\r\nSet.zip:a.u1:a.u2;:1:2;:1A2B3C4D:00ff00ff\r\n"
                      "Space Race.bin;32768;89ABCDEF\r\n");
    Startup(home_.path());
    window_ = std::make_unique<MainWindow>();
    window_->SetChooserHook([this](const QString& title) -> std::optional<std::string> {
      asked_.push_back(title);
      return answers_.size() < asked_.size() ? std::nullopt : answers_[asked_.size() - 1];
    });
    window_->show();
    QApplication::setActiveWindow(window_.get());
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
  }
  void Click(int id) { QTest::mouseClick(window_->Control(id), Qt::LeftButton); }
  std::string Text(int id) { return window_->GetText(id); }
  bool Enabled(int id) { return window_->Control(id)->isEnabled(); }
  std::vector<bool> Targets() {  // the two target fields and their Browse buttons
    return {Enabled(kIdMoveKnownField), Enabled(kIdMoveKnownBrowse), Enabled(kIdMoveUnknownField),
            Enabled(kIdMoveUnknownBrowse)};
  }

  TestHome home_;
  std::unique_ptr<MainWindow> window_;
  std::vector<std::optional<std::string>> answers_;  // to the choosers in turn; then cancel
  std::vector<QString> asked_;                       // the choosers' titles
};

TEST_F(MainWindowTest, OpensFixedAndEveryCommandReachesTheCore) {
  EXPECT_EQ(window_->windowTitle(), QString(kCaption));
  EXPECT_EQ(window_->minimumSize(), window_->maximumSize());
  EXPECT_FALSE(window_->windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_EQ(Targets(), std::vector<bool>(4, false));
  answers_ = {home_.Path("gone.bin"), std::nullopt, home_.Path("roms"), "/known",
              home_.Path("lists")};
  for (int i = 0; i < 2; ++i) Click(kIdSingleRom);  // a file that cannot be read; a cancel
  for (int id : {kIdFilenameField, kIdSystemField, kIdSizeField}) EXPECT_EQ(Text(id), "Error");
  WriteFile(home_.Path("roms/sub/b.bin"), "bb");
  Click(kIdSubdirs);
  Click(kIdDirectory);
  EXPECT_EQ(Text(kIdSizeField), "Several");
  EXPECT_EQ(Text(kIdInfoLine), "2 roms in database");  // the walk's count gives way to the refresh
  Click(kIdMoveKnown);
  EXPECT_EQ(Targets(), (std::vector<bool>{true, true, false, false}));
  Click(kIdMoveKnownBrowse);
  window_->SetText(kIdInfoLine, "stale");
  QTest::keyClick(window_->Control(kIdMoveKnownField), Qt::Key_A);  // an edit notification
  EXPECT_EQ(Text(kIdInfoLine), "2 roms in database");
  Click(kIdMoveKnown);
  EXPECT_EQ(Targets(), std::vector<bool>(4, false));
  EXPECT_EQ(Text(kIdMoveKnownField), "a/known");
  Click(kIdGenerate);
  EXPECT_TRUE(Exists(home_.Path("lists/Game Console_miss.txt")));
  EXPECT_EQ(asked_, (std::vector<QString>{"Open a rom", "Open a rom", "Choose the path",
                                          "Choose the path", "Choose the path"}));
  home_.AddDatafile("More.cxi", "Third.bin;1;1\r\n");
  Click(kIdReloadAll);
  EXPECT_EQ(Text(kIdInfoLine), "3 roms in database");
  window_->SetText(kIdInfoLine, "stale");
  QTest::keyClick(window_.get(), Qt::Key_Escape);  // the refresh only; the window stays
  EXPECT_TRUE(window_->isVisible() && Text(kIdInfoLine) == "3 roms in database");
  QString help;
  OnNextModal([&](QWidget* box) {
    EXPECT_EQ(box->parentWidget(), window_.get());
    EXPECT_EQ(box->windowTitle(), QString(kHelpCaption));
    help = qobject_cast<QMessageBox*>(box)->text();
  });
  Click(kIdHelp);
  EXPECT_EQ(help, QString(kHelpText).replace("\r\n", "\n"));
}

// While a command runs (here: inside its chooser) no other command starts, and a close waits
// for the command's end and then happens as usual.
TEST_F(MainWindowTest, CommandsDoNotNestAndCloseWaitsForTheRunningOne) {
  WriteFile(home_.Path("tmp/a.u1"), "one");
  Session().archive_mode = true;
  Session().extracted_files = {home_.Path("tmp/a.u1")};
  window_->SetChooserHook([&](const QString& title) -> std::optional<std::string> {
    asked_.push_back(title);
    if (asked_.size() > 1) return std::nullopt;
    bool box_shown = false;
    OnNextModal([&](QWidget*) { box_shown = true; });
    Click(kIdSingleRom);
    Click(kIdHelp);
    QApplication::processEvents();
    EXPECT_FALSE(box_shown);
    EXPECT_TRUE(window_->KeepAlive());
    EXPECT_FALSE(window_->close());
    EXPECT_TRUE(window_->isVisible());
    EXPECT_TRUE(Exists(home_.Path("tmp/a.u1")));
    EXPECT_FALSE(window_->KeepAlive());
    return home_.Path("tmp");
  });
  Click(kIdDirectory);
  EXPECT_EQ(asked_, std::vector<QString>{"Choose the path"});
  EXPECT_FALSE(window_->isVisible());
  EXPECT_FALSE(Exists(home_.Path("tmp/a.u1")));
}

// On a real X server its size is the template's dialog units measured with the dialog font, every
// control lies inside it and shows its whole text, and a screenshot is saved for the README.
TEST_F(MainWindowTest, OnScreenSizeMatchesTheDialogUnitsAndTextsFit) {
  if (QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "needs an X server (xvfb-run)";
  const QFontMetricsF metrics(window_->font());
  const QString letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  const double width = kTemplateWidth * metrics.horizontalAdvance(letters) / letters.size() / 4;
  const double height = kTemplateHeight * metrics.height() / 8;
  EXPECT_NEAR(window_->width(), width, width * 0.10);
  EXPECT_NEAR(window_->height(), height, height * 0.10);
  for (QWidget* control : window_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    const QString text = control->property("text").toString();
    EXPECT_TRUE(window_->rect().contains(control->geometry())) << text.toStdString();
    int needed = control->sizeHint().width();
    if (qobject_cast<QPushButton*>(control) != nullptr) {  // its text, not the style minimum
      needed = control->fontMetrics().horizontalAdvance(text) +
               2 * control->style()->pixelMetric(QStyle::PM_ButtonMargin);
    } else if (qobject_cast<QAbstractButton*>(control) == nullptr &&
               qobject_cast<QLabel*>(control) == nullptr) {
      continue;
    }
    EXPECT_LE(needed, control->width()) << text.toStdString();
  }
  const QByteArray path = qgetenv("CARTIDEX_SCREENSHOT");
  QApplication::processEvents();
  EXPECT_TRUE(path.isEmpty() || window_->screen()->grabWindow(window_->winId()).save(path, "PNG"));
}

}  // namespace
}  // namespace cartidex::test
