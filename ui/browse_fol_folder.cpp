#include "ui/browse_fol_folder.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace parcelo::ui {

QString StartingFolderToPreselect(const QString& startingFolder) {
  QString folder = startingFolder;
  if (folder.size() > 1 && (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QDir::separator()))) {
    folder.chop(1);
  }
  if (folder.isEmpty() || !QFileInfo(folder).isDir()) return {};
  return folder;
}

QString ChooseFolder(const QString& startingFolder, const QString& prompt) {
  QFileDialog dialog(nullptr, prompt.isEmpty() ? QString::fromUtf8(kDefaultFolderPrompt) : prompt);
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setWindowModality(Qt::ApplicationModal);
  const QString preselect = StartingFolderToPreselect(startingFolder);
  dialog.setDirectory(preselect.isEmpty() ? QDir::homePath() : preselect);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return QDir::toNativeSeparators(QDir::cleanPath(dialog.selectedFiles().constFirst()));
}

}  // namespace parcelo::ui
