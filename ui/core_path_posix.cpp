#include "ui/core_path.h"

#include <QFile>

// Paths as the file system's own bytes.

namespace parcelo::ui {

std::string CorePath(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString FromCorePath(const std::string& path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}

}  // namespace parcelo::ui
