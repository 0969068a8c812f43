#include "ui/core_path.h"

// Paths as UTF-8, which the core widens to the system's UTF-16.

namespace parcelo::ui {

std::string CorePath(const QString& path) { return path.toStdString(); }

QString FromCorePath(const std::string& path) { return QString::fromStdString(path); }

}  // namespace parcelo::ui
