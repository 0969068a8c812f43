#pragma once

#include <QString>
#include <string>

namespace parcelo::ui {

// A path as the core takes it. On Windows that is UTF-8, which the core's
// system-call layer widens; QFile::encodeName would give the ANSI code page
// there, with "?" for each character it can't hold. Elsewhere it is the
// bytes QFile::encodeName gives, the file system's own.
std::string CorePath(const QString& path);

// A name the core gave back, as the window shows it.
QString FromCorePath(const std::string& path);

}  // namespace parcelo::ui
