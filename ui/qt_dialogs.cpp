#include <QFileDialog>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>

#include "ui/browse_fol_folder.h"
#include "ui/caption_width.h"
#include "ui/dialogs.h"
#include "ui/file_dialog.h"
#include "ui/window_texts.h"

namespace parcelo::ui {
namespace {

// A message box sizes itself by its text and leaves too little room for a
// long title ("Ошибка инициализации директории"); a spacer as wide as the
// title bar needs keeps the title whole.
void MakeRoomForTitle(QMessageBox& box) {
  auto* grid = qobject_cast<QGridLayout*>(box.layout());
  if (!grid) return;
  grid->addItem(new QSpacerItem(WidthForCaption(box.windowTitle()), 0, QSizePolicy::Fixed,
                                QSizePolicy::Minimum),
                grid->rowCount(), 0, 1, grid->columnCount());
}

}  // namespace

void QtDialogs::ShowMessage(QWidget* parent, const Message& message) {
  QMessageBox box(
      message.kind == MessageKind::Critical ? QMessageBox::Critical : QMessageBox::Information,
      QString::fromStdString(message.title), QString::fromStdString(message.text), QMessageBox::Ok,
      parent);
  box.setWindowModality(Qt::ApplicationModal);
  MakeRoomForTitle(box);
  box.exec();
}

bool QtDialogs::Ask(QWidget* parent, const Message& question) {
  QMessageBox box(QMessageBox::Question, QString::fromStdString(question.title),
                  QString::fromStdString(question.text), QMessageBox::Yes | QMessageBox::No,
                  parent);
  // In Russian whatever the locale: Qt's catalogue may not be loaded.
  box.button(QMessageBox::Yes)->setText(QString::fromUtf8(text::kYesButton));
  box.button(QMessageBox::No)->setText(QString::fromUtf8(text::kNoButton));
  box.setDefaultButton(QMessageBox::No);
  box.setEscapeButton(QMessageBox::No);
  box.setWindowModality(Qt::ApplicationModal);
  MakeRoomForTitle(box);
  return box.exec() == QMessageBox::Yes;
}

QString QtDialogs::ShowOpen(QWidget* parent) {
  QFileDialog dialog(parent);
  dialog.setFileMode(QFileDialog::ExistingFile);
  return RunFileDialog(dialog);
}

QString QtDialogs::ChooseFolder(QWidget* parent, const QString& startingFolder,
                                const QString& prompt) {
  return ui::ChooseFolder(parent, startingFolder, prompt);
}

}  // namespace parcelo::ui
