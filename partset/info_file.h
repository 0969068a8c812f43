#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "partset/name_fault.h"

namespace parcelo {

// How many bytes of an info file are read at the most: far beyond any file
// name a file system accepts (255 bytes on most), so a longer first line
// comes back cut, too long to be any file's name.
inline constexpr std::size_t kInfoFileReadLimit = 4097;

// Returns the info file's content for a source name (UTF-8): the name in
// Windows-1251 where that holds it, as Windows programs write it, otherwise
// in UTF-8; then CR LF.
std::string InfoFileText(std::string_view sourceName);

// Returns the name an info file holds, as UTF-8: its first line, up to the
// first CR, without leading and trailing spaces; a line that is not UTF-8
// is read as Windows-1251.
std::string NameInInfoFile(std::string_view content);

// True when a source name comes back from the info file exactly as it went
// in: valid UTF-8, no control byte, no space at either end, and not a name
// the join takes for a part, the info file or the checksum file.
bool InfoFileKeepsName(std::string_view sourceName);

// What keeps a source name from coming back from the info file, as
// InfoFileKeepsName tells; kNone when nothing does.
NameFault InfoFileNameFault(std::string_view sourceName);

// True for a name a set's folder keeps for its own files, in any letter
// case: a part's (any ".drb"), the info file's, the checksum file's, and
// the temporaries' of a split or join at work.
bool IsSetFileName(std::string_view name);

}  // namespace parcelo
