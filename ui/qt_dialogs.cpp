#include <QFileDialog>
#include <QMessageBox>

#include "ui/browse_fol_folder.h"
#include "ui/dialogs.h"
#include "ui/file_dialog.h"

namespace parcelo::ui {

void QtDialogs::ShowMessage(QWidget* parent, const Message& message) {
  QMessageBox box(message.kind == MessageKind::Critical ? QMessageBox::Critical
                                                        : QMessageBox::Information,
                  QString::fromStdString(message.title), QString::fromStdString(message.text),
                  QMessageBox::Ok, parent);
  box.setWindowModality(Qt::ApplicationModal);
  box.exec();
}

QString QtDialogs::ShowOpen(QWidget* parent) {
  QFileDialog dialog(parent);
  dialog.setFileMode(QFileDialog::ExistingFile);
  return RunFileDialog(dialog);
}

QString QtDialogs::ChooseFolder(const QString& startingFolder, const QString& prompt) {
  return ui::ChooseFolder(startingFolder, prompt);
}

}  // namespace parcelo::ui
