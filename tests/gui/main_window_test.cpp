// The main window driven as a user drives it: clicks, keys, the close box, the choosers (answered
// by a hook or dismissed), the help box.
#include "qt/main_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/startup.h"
#include "identify/session_state.h"
#include "platform/dialog_view.h"
#include "qt/dialog_template.h"
#include "support/test_util.h"

namespace cartidex::test {
namespace {

const char kTwoSets[] =
    "#console#;Game Console\r\n"
    "Sample Set (Rev 2.0).zip:samp.u1:samp.u2;:65536:131072;:1A2B3C4D:00ff00ff\r\n"
    "Space Race.bin;32768;89ABCDEF\r\n";
const char kTwoSetsLine[] = "2 roms in database";

constexpr int kResultFields[] = {kIdFilenameField, kIdNameField, kIdSystemField, kIdCrcField,
                                 kIdSizeField};

// What a modal box that popped up looked like, and the box dismissed.
struct SeenBox {
  QString class_name, title, text;
  QWidget* parent = nullptr;
  bool modal = false;
  QStringList name_filters;
  // Whether the list shows a file whose name has no dot.
  bool lists_dotless_names = false;
  int file_mode = -1;
  int buttons = 0;
};

// Dismisses the next modal box once it is shown, recording what it was.
void DismissNextModal(SeenBox* seen) {
  QTimer::singleShot(0, [seen] {
    QWidget* box = QApplication::activeModalWidget();
    if (box == nullptr) return;
    seen->class_name = QString::fromLatin1(box->metaObject()->className());
    seen->title = box->windowTitle();
    seen->parent = box->parentWidget();
    seen->modal = box->isModal() || box->windowModality() != Qt::NonModal;
    if (auto* message = qobject_cast<QMessageBox*>(box)) {
      seen->text = message->text();
      seen->buttons = message->standardButtons();
      message->button(QMessageBox::Ok)->click();
    } else if (auto* chooser = qobject_cast<QFileDialog*>(box)) {
      seen->name_filters = chooser->nameFilters();
      if (auto* model = chooser->findChild<QFileSystemModel*>()) {
        for (const QString& pattern : model->nameFilters()) {
          if (QRegularExpression::fromWildcard(pattern).match("SPACERACE").hasMatch()) {
            seen->lists_dotless_names = true;
          }
        }
      }
      seen->file_mode = chooser->fileMode();
      chooser->reject();
    } else {
      box->close();
    }
  });
}

class MainWindowTest : public testing::Test {
 protected:
  MainWindowTest() {
    home_.AddDatafile("Example.cxi", kTwoSets);
    Startup(home_.path());
    window_ = std::make_unique<MainWindow>();
    window_->SetChooserHook([this](const QString& title) -> std::optional<std::string> {
      asked_.push_back(title);
      if (answers_.empty()) return std::nullopt;
      std::optional<std::string> answer = answers_.front();
      answers_.erase(answers_.begin());
      return answer;
    });
  }
  ~MainWindowTest() override {
    window_.reset();
    Shutdown();
  }

  void ShowAndActivate() {
    window_->show();
    QApplication::setActiveWindow(window_.get());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
  }
  void Click(int id) { QTest::mouseClick(window_->Control(id), Qt::LeftButton); }
  QLineEdit* Field(int id) { return qobject_cast<QLineEdit*>(window_->Control(id)); }
  QCheckBox* Box(int id) { return qobject_cast<QCheckBox*>(window_->Control(id)); }
  std::string Text(int id) { return window_->GetText(id); }
  bool Enabled(int id) { return window_->Control(id)->isEnabled(); }

  TestHome home_;
  std::unique_ptr<MainWindow> window_;
  std::vector<std::optional<std::string>> answers_;
  std::vector<QString> asked_;
};

TEST_F(MainWindowTest, StartsAsTheTemplateWithFreshControls) {
  EXPECT_EQ(window_->windowTitle(), QStringLiteral("Cartidex 1.3.1"));
  EXPECT_EQ(Text(kIdInfoLine), kTwoSetsLine);
  EXPECT_FALSE(window_->windowIcon().isNull());
  EXPECT_EQ(window_->windowIcon().availableSizes().value(0), QSize(32, 32));

  // Fixed size with close and minimise boxes and no maximise box.
  EXPECT_EQ(window_->minimumSize(), window_->maximumSize());
  Qt::WindowFlags flags = window_->windowFlags();
  EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
  EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);

  for (int id : kResultFields) {
    ASSERT_NE(Field(id), nullptr) << id;
    EXPECT_TRUE(Field(id)->isReadOnly()) << id;
    EXPECT_TRUE(Field(id)->text().isEmpty()) << id;
  }
  for (int id : {kIdMoveKnownField, kIdMoveUnknownField}) {
    EXPECT_FALSE(Field(id)->isReadOnly());
    EXPECT_TRUE(Field(id)->text().isEmpty());
  }
  for (int id : {kIdRename, kIdSubdirs, kIdMoveKnown, kIdMoveUnknown}) {
    EXPECT_FALSE(Box(id)->isChecked()) << id;
  }
  for (int id :
       {kIdMoveKnownField, kIdMoveKnownBrowse, kIdMoveUnknownField, kIdMoveUnknownBrowse}) {
    EXPECT_FALSE(Enabled(id)) << id;
  }
  auto* single = qobject_cast<QPushButton*>(window_->Control(kIdSingleRom));
  EXPECT_TRUE(single->isDefault());
  EXPECT_EQ(window_->Control(kIdSingleRom)->property("text").toString(), "Single rom");
  EXPECT_EQ(Text(kIdMoveUnknown), "Move unknown files to:");
}

TEST_F(MainWindowTest, TabOrderFollowsTheControlTable) {
  const std::vector<int> expected = {kIdFilenameField,    kIdNameField,         kIdSystemField,
                                     kIdCrcField,         kIdSizeField,         kIdSingleRom,
                                     kIdDirectory,        kIdReloadAll,         kIdGenerate,
                                     kIdRename,           kIdSubdirs,           kIdMoveKnown,
                                     kIdMoveKnownField,   kIdMoveKnownBrowse,   kIdMoveUnknown,
                                     kIdMoveUnknownField, kIdMoveUnknownBrowse, kIdHelp};
  std::vector<int> order;
  QWidget* widget = window_->Control(expected.front());
  for (size_t i = 0; i < expected.size(); ++i) {
    order.push_back(widget->objectName().mid(7).toInt());
    widget = widget->nextInFocusChain();
    while (widget->focusPolicy() == Qt::NoFocus || widget == window_.get()) {
      widget = widget->nextInFocusChain();
    }
  }
  EXPECT_EQ(order, expected);
}

TEST_F(MainWindowTest, SingleRomFillsTheResultFieldsAndCancelLeavesThem) {
  // The file went away between the choice and the identification: it cannot be read.
  answers_ = {home_.Path("gone.bin")};
  Click(kIdSingleRom);
  ASSERT_EQ(asked_, std::vector<QString>{"Open a rom"});
  for (int id : kResultFields) EXPECT_EQ(Text(id), "Error") << id;

  answers_ = {std::nullopt};
  Click(kIdSingleRom);
  EXPECT_EQ(asked_.size(), 2u);
  for (int id : kResultFields) EXPECT_EQ(Text(id), "Error") << id;
  EXPECT_EQ(Text(kIdInfoLine), kTwoSetsLine);
}

TEST_F(MainWindowTest, DirectoryShowsSeveralAndRestoresTheInformationLine) {
  WriteFile(home_.Path("roms/a.bin"), "a");
  WriteFile(home_.Path("roms/sub/b.bin"), "bb");
  Box(kIdSubdirs)->click();
  answers_ = {home_.Path("roms")};
  Click(kIdDirectory);
  ASSERT_EQ(asked_, std::vector<QString>{"Choose the path"});
  for (int id : {kIdFilenameField, kIdNameField, kIdCrcField, kIdSizeField}) {
    EXPECT_EQ(Text(id), "Several") << id;
  }
  EXPECT_EQ(Text(kIdInfoLine), kTwoSetsLine);
}

TEST_F(MainWindowTest, MoveBoxesEnableTheirFieldAndBrowseButton) {
  Click(kIdMoveKnown);
  EXPECT_TRUE(Enabled(kIdMoveKnownField));
  EXPECT_TRUE(Enabled(kIdMoveKnownBrowse));
  EXPECT_FALSE(Enabled(kIdMoveUnknownField));
  EXPECT_FALSE(Enabled(kIdMoveUnknownBrowse));

  QTest::keyClicks(Field(kIdMoveKnownField), "/roms/<system>");
  Click(kIdMoveKnown);
  EXPECT_FALSE(Enabled(kIdMoveKnownField));
  EXPECT_FALSE(Enabled(kIdMoveKnownBrowse));
  EXPECT_EQ(Text(kIdMoveKnownField), "/roms/<system>");

  Click(kIdMoveUnknown);
  EXPECT_TRUE(Enabled(kIdMoveUnknownField));
  EXPECT_TRUE(Enabled(kIdMoveUnknownBrowse));
  EXPECT_FALSE(Enabled(kIdMoveKnownField));
  Click(kIdMoveUnknown);
  EXPECT_FALSE(Enabled(kIdMoveUnknownField));
  EXPECT_FALSE(Enabled(kIdMoveUnknownBrowse));
}

TEST_F(MainWindowTest, BrowseFillsItsFieldAndLeavesTheBox) {
  Click(kIdMoveUnknown);
  answers_ = {"/data/unknown roms"};
  Click(kIdMoveUnknownBrowse);
  EXPECT_EQ(asked_, std::vector<QString>{"Choose the path"});
  EXPECT_EQ(Text(kIdMoveUnknownField), "/data/unknown roms");
  EXPECT_TRUE(Box(kIdMoveUnknown)->isChecked());
  EXPECT_EQ(Text(kIdMoveKnownField), "");

  // A cancelled browse keeps the text.
  Click(kIdMoveUnknownBrowse);
  EXPECT_EQ(Text(kIdMoveUnknownField), "/data/unknown roms");
}

TEST_F(MainWindowTest, EditingATargetFieldRunsTheRefresh) {
  Click(kIdMoveKnown);
  window_->SetText(kIdInfoLine, "stale");
  QTest::keyClick(Field(kIdMoveKnownField), Qt::Key_A);
  EXPECT_EQ(Text(kIdInfoLine), kTwoSetsLine);
  EXPECT_EQ(Text(kIdMoveKnownField), "a");
}

TEST_F(MainWindowTest, EscRefreshesAndNeverCloses) {
  ShowAndActivate();
  window_->SetText(kIdInfoLine, "stale");
  QTest::keyClick(window_.get(), Qt::Key_Escape);
  EXPECT_TRUE(window_->isVisible());
  EXPECT_EQ(Text(kIdInfoLine), kTwoSetsLine);
}

TEST_F(MainWindowTest, EnterPressesSingleRomUnlessAButtonHasTheFocus) {
  ShowAndActivate();
  Field(kIdNameField)->setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_EQ(asked_, std::vector<QString>{"Open a rom"});

  Box(kIdRename)->setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
  EXPECT_EQ(asked_.size(), 2u);

  // Enter on another push button presses that one.
  window_->Control(kIdMoveUnknown)->setFocus();
  Box(kIdMoveUnknown)->click();
  window_->Control(kIdMoveUnknownBrowse)->setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  ASSERT_EQ(asked_.size(), 3u);
  EXPECT_EQ(asked_.back(), "Choose the path");
  EXPECT_TRUE(window_->isVisible());
}

TEST_F(MainWindowTest, ClosingAfterAnArchiveDeletesItsExtractedFiles) {
  ShowAndActivate();
  WriteFile(home_.Path("tmp/samp.u1"), "one");
  WriteFile(home_.Path("tmp/samp.u2"), "two");
  WriteFile(home_.Path("tmp/other.bin"), "not extracted");
  Session().archive_mode = true;
  Session().extracted_files = {home_.Path("tmp/samp.u1"), home_.Path("tmp/samp.u2")};
  EXPECT_TRUE(window_->close());
  EXPECT_FALSE(window_->isVisible());
  EXPECT_FALSE(Exists(home_.Path("tmp/samp.u1")));
  EXPECT_FALSE(Exists(home_.Path("tmp/samp.u2")));
  EXPECT_TRUE(Exists(home_.Path("tmp/other.bin")));
}

TEST_F(MainWindowTest, ClosingAfterAPlainFileDeletesNothing) {
  ShowAndActivate();
  WriteFile(home_.Path("tmp/left.bin"), "left");
  Session().archive_mode = false;
  Session().extracted_files = {home_.Path("tmp/left.bin")};
  EXPECT_TRUE(window_->close());
  EXPECT_TRUE(Exists(home_.Path("tmp/left.bin")));
}

TEST_F(MainWindowTest, HelpShowsTheTextInABoxOwnedByTheWindow) {
  ShowAndActivate();
  SeenBox seen;
  DismissNextModal(&seen);
  Click(kIdHelp);
  EXPECT_EQ(seen.class_name, "QMessageBox");
  EXPECT_EQ(seen.title, "Help for directories");
  EXPECT_EQ(seen.parent, window_.get());
  EXPECT_EQ(seen.buttons, QMessageBox::Ok);
  EXPECT_EQ(seen.text.toStdString(),
            "Help for directories\n-----------------------------\n"
            "You can modify target directories by adding codes.\n"
            "For example, for a rom called \"Test.rom\", if it has to go to \"C:\\Roms\\<c1>\\\", "
            "it will go to \"C:\\Roms\\T\\\"\n"
            "Here they are :\n"
            "- <c#> represents the caracter placed in the # position from the begging of the "
            "name\n"
            "- <system> represents the console or computer that corresponds to the rom\n"
            "- <name> represents its name");
  EXPECT_EQ(seen.text.size() + 7, 417);  // seven CR LF shown as seven line feeds
  EXPECT_TRUE(window_->isVisible());
}

TEST_F(MainWindowTest, RealChoosersAreModalToTheWindowWithTheirTitles) {
  window_->SetChooserHook(nullptr);
  ShowAndActivate();
  SeenBox file;
  DismissNextModal(&file);
  Click(kIdSingleRom);
  EXPECT_EQ(file.class_name, "QFileDialog");
  EXPECT_EQ(file.title, "Open a rom");
  EXPECT_EQ(file.parent, window_.get());
  EXPECT_TRUE(file.modal);
  EXPECT_EQ(file.name_filters, QStringList{"All types (*.*)"});
  EXPECT_EQ(file.file_mode, QFileDialog::ExistingFile);
  EXPECT_TRUE(file.lists_dotless_names);
  for (int id : kResultFields) EXPECT_EQ(Text(id), "") << id;

  SeenBox folder;
  DismissNextModal(&folder);
  Click(kIdGenerate);
  EXPECT_EQ(folder.title, "Choose the path");
  EXPECT_EQ(folder.parent, window_.get());
  EXPECT_TRUE(folder.modal);
  EXPECT_EQ(folder.file_mode, QFileDialog::Directory);
  EXPECT_EQ(Text(kIdInfoLine), kTwoSetsLine);
}

// While a command runs (here: inside its chooser) no other command starts, and a close waits
// for the command's end and then happens as usual.
TEST_F(MainWindowTest, CommandsDoNotNestAndCloseWaitsForTheRunningOne) {
  ShowAndActivate();
  WriteFile(home_.Path("tmp/samp.u1"), "one");
  Session().archive_mode = true;
  Session().extracted_files = {home_.Path("tmp/samp.u1")};
  WriteFile(home_.Path("roms/a.bin"), "a");

  bool inside = false;
  window_->SetChooserHook([&](const QString& title) -> std::optional<std::string> {
    asked_.push_back(title);
    if (inside) return std::nullopt;
    inside = true;
    // Another button: nothing starts, no chooser, no help box.
    SeenBox nested;
    DismissNextModal(&nested);
    Click(kIdSingleRom);
    Click(kIdHelp);
    QTest::keyClick(window_.get(), Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_TRUE(nested.class_name.isEmpty());

    // The walk keeps the window alive and repaints it.
    bool posted_ran = false;
    QTimer::singleShot(0, [&] { posted_ran = true; });
    window_->SetText(kIdInfoLine, "1 files handled");
    EXPECT_TRUE(window_->KeepAlive());
    EXPECT_TRUE(posted_ran);

    // The close box during the walk: the window stays until the work ends.
    EXPECT_FALSE(window_->close());
    EXPECT_TRUE(window_->isVisible());
    EXPECT_TRUE(Exists(home_.Path("tmp/samp.u1")));
    EXPECT_FALSE(window_->KeepAlive());
    return home_.Path("roms");
  });
  Click(kIdDirectory);
  EXPECT_EQ(asked_, std::vector<QString>{"Choose the path"});
  EXPECT_FALSE(window_->isVisible());
  EXPECT_FALSE(Exists(home_.Path("tmp/samp.u1")));
}

}  // namespace
}  // namespace cartidex::test
