#include "qt/main_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QStringList>

#include "app/startup.h"
#include "qt/dialog_template.h"
#include "qt/dialog_units.h"

namespace cartidex {

namespace {

#include "qt/icon/cartridge.xpm"

QString FromText(std::string_view text) {
  return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToText(const QString& text) {
  return text.toLocal8Bit().toStdString();
}

// Paths go through the file system's encoding, so that any name the chooser gives comes back
// as the same bytes.
std::string ToPath(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

}  // namespace

MainWindow::MainWindow(QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      dialog_(this) {
  setWindowTitle(QString::fromLatin1(kCaption));
  setWindowIcon(QIcon(QPixmap(cartridge_xpm)));
  setFont(DialogFont());
  DialogUnits units(font());
  setFixedSize(units.ToPixels(QSize(kTemplateWidth, kTemplateHeight)));
  move(units.ToPixelsX(kTemplateLeft), units.ToPixelsY(kTemplateTop));
  BuildControls();
  dialog_.Init();
}

void MainWindow::BuildControls() {
  DialogUnits units(font());
  QWidget* previous = nullptr;
  for (const ControlTemplate& c : DialogControls()) {
    const QString text = QString::fromLatin1(c.text);
    QWidget* widget = nullptr;
    switch (c.kind) {
      case ControlKind::kLabel:
      case ControlKind::kCentredLabel: {
        auto* label = new QLabel(text, this);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(c.kind == ControlKind::kLabel ? Qt::AlignLeft | Qt::AlignVCenter
                                                          : Qt::AlignCenter);
        widget = label;
        break;
      }
      case ControlKind::kReadOnlyField:
      case ControlKind::kField: {
        auto* field = new QLineEdit(text, this);
        // A read-only field can still be selected and copied, as the user needs the names.
        field->setReadOnly(c.kind == ControlKind::kReadOnlyField);
        if (c.kind == ControlKind::kField) {
          // Every change is an edit notification, which runs the refresh.
          connect(field, &QLineEdit::textChanged, this, [this, id = c.id] { RunCommand(id); });
        }
        widget = field;
        break;
      }
      case ControlKind::kButton:
      case ControlKind::kDefaultButton: {
        auto* button = new QPushButton(text, this);
        button->setAutoDefault(true);
        button->setDefault(c.kind == ControlKind::kDefaultButton);
        connect(button, &QPushButton::clicked, this, [this, id = c.id] { RunCommand(id); });
        widget = button;
        break;
      }
      case ControlKind::kCheckBox: {
        auto* box = new QCheckBox(text, this);
        connect(box, &QCheckBox::clicked, this, [this, id = c.id] { RunCommand(id); });
        widget = box;
        break;
      }
    }
    widget->setGeometry(units.ToPixels(c.x, c.y, c.width, c.height));
    if (c.id != kIdNone) {
      widget->setObjectName(QStringLiteral("control%1").arg(c.id));
      controls_[c.id] = widget;
    }
    if (widget->focusPolicy() != Qt::NoFocus) {
      if (previous != nullptr) setTabOrder(previous, widget);
      previous = widget;
    }
  }
}

QWidget* MainWindow::Control(int id) const {
  auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : it->second;
}

void MainWindow::SetText(int id, std::string_view text) {
  QWidget* widget = Control(id);
  if (auto* field = qobject_cast<QLineEdit*>(widget)) {
    field->setText(FromText(text));
    // Show a new text from its start, as a long path is read from its beginning.
    field->setCursorPosition(0);
  } else if (auto* label = qobject_cast<QLabel*>(widget)) {
    label->setText(FromText(text));
  } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    button->setText(FromText(text));
  }
}

std::string MainWindow::GetText(int id) {
  QWidget* widget = Control(id);
  if (auto* field = qobject_cast<QLineEdit*>(widget)) return ToText(field->text());
  if (auto* label = qobject_cast<QLabel*>(widget)) return ToText(label->text());
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) return ToText(button->text());
  return std::string();
}

bool MainWindow::IsChecked(int id) {
  auto* box = qobject_cast<QCheckBox*>(Control(id));
  return box != nullptr && box->isChecked();
}

void MainWindow::Enable(int id, bool enabled) {
  if (QWidget* widget = Control(id)) widget->setEnabled(enabled);
}

std::optional<std::string> MainWindow::ChooseFile() {
  const QString title = QStringLiteral("Open a rom");
  if (chooser_hook_) return chooser_hook_(title);
  QFileDialog chooser(this, title, QString(), QStringLiteral("All types (*.*)"));
  chooser.setWindowModality(Qt::WindowModal);
  chooser.setAcceptMode(QFileDialog::AcceptOpen);
  chooser.setFileMode(QFileDialog::ExistingFile);
  // "*.*" means every file to ROM collectors, but here it would hide names without a dot (many
  // dumps have none): the chooser keeps the one filter's text and lists every file. The desktop's
  // own chooser could not be told so, hence Qt's.
  chooser.setOption(QFileDialog::DontUseNativeDialog, true);
  if (auto* model = chooser.findChild<QFileSystemModel*>()) {
    model->setNameFilters(QStringList{QStringLiteral("*")});
  }
  if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) {
    return std::nullopt;
  }
  return ToPath(chooser.selectedFiles().first());
}

std::optional<std::string> MainWindow::ChooseFolder() {
  const QString title = QStringLiteral("Choose the path");
  if (chooser_hook_) return chooser_hook_(title);
  QFileDialog chooser(this, title);
  chooser.setWindowModality(Qt::WindowModal);
  chooser.setAcceptMode(QFileDialog::AcceptOpen);
  chooser.setFileMode(QFileDialog::Directory);
  chooser.setOption(QFileDialog::ShowDirsOnly, true);
  if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) {
    return std::nullopt;
  }
  return ToPath(chooser.selectedFiles().first());
}

void MainWindow::ShowMessage(std::string_view text, std::string_view caption) {
  QString shown = FromText(text);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  QMessageBox box(QMessageBox::NoIcon, FromText(caption), shown, QMessageBox::Ok, this);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

bool MainWindow::KeepAlive() {
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  return !dialog_.close_requested();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (dialog_.Close()) {
    event->accept();
  } else {
    event->ignore();
  }
}

void MainWindow::reject() {
  RunCommand(kIdCancel);
}

void MainWindow::RunCommand(int id) {
  if (!dialog_.Command(id)) return;
  if (dialog_.close_requested()) close();
}

}  // namespace cartidex
