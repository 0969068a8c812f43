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

// Returns a path the user gave as an absolute one, resolved against the
// current folder by the file layer (the path as given when the current
// folder is unknown), with "." and ".." folded and the system's separators.
QString AbsolutePathOf(const QString& path);

// Returns the absolute folder a path lies in; the root for a path in the
// root ("/" for "/film.avi").
QString AbsoluteFolderOf(const QString& path);

}  // namespace parcelo::ui
