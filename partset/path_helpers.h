#pragma once

#include <string>
#include <string_view>

namespace parcelo {

// The one character that separates path components.
inline constexpr char kSeparator = '/';

// Returns the characters after the rightmost separator of a path; the empty
// text when the path holds no separator (not the whole path).
std::string FileNameOf(std::string_view path);

// Returns the characters before the rightmost separator of a path, without
// it; the empty text when the path holds no separator.
std::string FolderOf(std::string_view path);

// The longest file name the common file systems take (ext4, XFS, NTFS).
inline constexpr std::size_t kMaxFileNameBytes = 255;

// True when a name can stand for one entry inside a folder: not empty, not
// "." or "..", no longer than kMaxFileNameBytes, and free of separators and
// control characters. Used for every name that comes from outside (folder
// names typed by the user, names read from an info file) before it is
// joined to a folder.
bool IsPlainFileName(std::string_view name);

}  // namespace parcelo
