#include "ui/file_dialog.h"

#include <QDir>
#include <QFileDialog>

namespace parcelo::ui {

QString RunFileDialog(QFileDialog& dialog) {
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setWindowModality(Qt::ApplicationModal);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return QDir::toNativeSeparators(QDir::cleanPath(dialog.selectedFiles().constFirst()));
}

}  // namespace parcelo::ui
