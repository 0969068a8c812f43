#include "ui/core_path.h"

#include <QDir>
#include <QFile>

#include "io/absolute_path.h"
#include "io/file_error.h"
#include "partset/path_helpers.h"

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

QString AbsolutePathOf(const QString& path) {
  QString absolute = path;
  try {
    absolute = FromCorePath(AbsolutePath(CorePath(path)));
  } catch (const FileError&) {
    // No current folder to resolve against: the path stays as given.
  }
  return QDir::toNativeSeparators(QDir::cleanPath(absolute));
}

QString AbsoluteFolderOf(const QString& path) {
  const std::string absolute = CorePath(AbsolutePathOf(path));
  const std::string folder = FolderOf(absolute);
  return FromCorePath(folder.empty() ? absolute.substr(0, RootLength(absolute)) : folder);
}

}  // namespace parcelo::ui
