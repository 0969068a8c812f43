#pragma once

#include <string>

namespace parcelo {

// Writes the info file into a folder (ending with a separator): the source
// name's bytes, then CR LF, replacing any info file there. Throws FileError.
void WriteInfoFile(const std::string& folder, const std::string& sourceName);

// Returns the first line of an info file, up to its first CR, without
// leading and trailing spaces. Reads at most a few KiB whatever the file's
// size (a longer line comes back cut, too long to be any file's name).
// Throws FileError when it can't be read or holds no byte at all.
std::string ReadInfoFile(const std::string& path);

}  // namespace parcelo
