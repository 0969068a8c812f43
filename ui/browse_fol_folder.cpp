#include "ui/browse_fol_folder.h"

#include <QDir>
#include <QFileDialog>

#include "io/path_kind.h"
#include "ui/core_path.h"
#include "ui/file_dialog.h"
#include "ui/window_texts.h"

namespace parcelo::ui {

QString StartingFolderToPreselect(const QString& startingFolder) {
  QString folder = startingFolder;
  if (folder.size() > 1 &&
      (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QDir::separator()))) {
    folder.chop(1);
  }
  if (KindOfPath(CorePath(folder)) != PathKind::Folder) return {};
  return folder;
}

QString ChooseFolder(QWidget* parent, const QString& startingFolder, const QString& prompt) {
  QFileDialog dialog(parent,
                     prompt.isEmpty() ? QString::fromUtf8(text::kDefaultFolderPrompt) : prompt);
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  const QString preselect = StartingFolderToPreselect(startingFolder);
  dialog.setDirectory(preselect.isEmpty() ? QDir::homePath() : preselect);
  return RunFileDialog(dialog);
}

}  // namespace parcelo::ui
