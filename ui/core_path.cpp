#include "ui/core_path.h"

#include <QDir>

#include "io/absolute_path.h"
#include "io/file_error.h"
#include "partset/path_helpers.h"

// CorePath and FromCorePath are the system's: core_path_posix.cpp or
// core_path_windows.cpp, as the build picks.

namespace parcelo::ui {

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
