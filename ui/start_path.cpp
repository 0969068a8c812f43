#include "ui/start_path.h"

#include <QDir>
#include <QFileInfo>

#include "ui/frm_main.h"

namespace parcelo::ui {

bool HoldsPartSet(const QString& folder) {
  const QDir dir(folder);
  return QFileInfo(dir, QStringLiteral("Infa.inf")).isFile() &&
         !dir.entryList({QStringLiteral("*.drb")}, QDir::Files).isEmpty();
}

void OpenStartPath(FrmMain& window, const QStringList& arguments) {
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    if (arguments[i].isEmpty() || arguments[i].startsWith(QLatin1Char('-'))) continue;
    const QString path =
        QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(arguments[i]).absoluteFilePath()));
    if (QFileInfo(path).isDir() && HoldsPartSet(path)) {
      window.PrepareJoin(path);
    } else {
      window.SetSourcePath(path);
    }
    return;
  }
}

}  // namespace parcelo::ui
