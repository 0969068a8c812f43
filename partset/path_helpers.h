#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "partset/name_fault.h"

namespace parcelo {

// How paths are spelled. Windows takes "\" and "/" alike, has drive roots
// ("C:\") and stricter name rules; the native style is the default of every
// helper, the other one can be asked for by name (tests check both).
enum class PathStyle { Posix, Windows };

// The style of the system the program is built for, and the separator it
// writes; the build picks path_style_posix.cpp or path_style_windows.cpp.
extern const PathStyle kNativePathStyle;
extern const char kSeparator;

// True when `c` separates path components: "/", and on Windows also "\".
bool IsSeparator(char c, PathStyle style = kNativePathStyle);

// The length of the root a path starts with, 0 for a relative path: "/";
// on Windows "C:\" (or "C:" alone), "\" and "\\server\share\".
std::size_t RootLength(std::string_view path, PathStyle style = kNativePathStyle);

// The position of the rightmost separator, npos when there is none.
std::size_t LastSeparator(std::string_view path, PathStyle style = kNativePathStyle);

// Returns the characters after the rightmost separator of a path; the empty
// text when the path holds no separator (not the whole path).
std::string FileNameOf(std::string_view path, PathStyle style = kNativePathStyle);

// Returns the characters before the rightmost separator of a path, without
// it; the empty text when the path holds no separator. A Windows drive root
// keeps its separator ("C:\x" gives "C:\"), so that it still names the root.
std::string FolderOf(std::string_view path, PathStyle style = kNativePathStyle);

// The longest file name the common file systems take: 255 bytes on ext4
// and XFS, 255 UTF-16 units on NTFS.
inline constexpr std::size_t kMaxFileNameBytes = 255;

// True when a name can stand for one entry inside a folder: not empty, not
// "." or "..", no longer than kMaxFileNameBytes (UTF-16 units on Windows),
// and free of separators and control characters. On Windows also free of
// < > : " | ? *, not ending in a dot or a space, and no device name (CON,
// NUL, COM1, COM¹, ... with or without an extension). Used for every name that
// comes from outside (folder names typed by the user, names read from an
// info file) before it is joined to a folder.
bool IsPlainFileName(std::string_view name, PathStyle style = kNativePathStyle);

// What keeps a name from being a plain file name, as IsPlainFileName
// tells; kNone for a plain one.
NameFault PlainFileNameFault(std::string_view name, PathStyle style = kNativePathStyle);

}  // namespace parcelo
