#pragma once

#include <string>

namespace parcelo {

// Returns a path as an absolute one, resolving a relative path against the
// current folder (nothing else: no links followed, no ".." folded); throws
// FileError when the current folder is unknown.
std::string AbsolutePath(const std::string& path);

}  // namespace parcelo
