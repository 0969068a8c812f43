#include "ui/core_path.h"

#include <QFile>

namespace parcelo::ui {

#ifdef Q_OS_WIN

std::string CorePath(const QString& path) { return path.toStdString(); }

QString FromCorePath(const std::string& path) { return QString::fromStdString(path); }

#else

std::string CorePath(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString FromCorePath(const std::string& path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}

#endif

}  // namespace parcelo::ui
