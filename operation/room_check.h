#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "io/folder_listing.h"
#include "operation/report.h"

namespace parcelo {

class File;
class Folder;

// The checks of room on the target's file system, made once the other
// checks passed and before the first write. An output counts what it will
// really take: holes and blocks shared with the input cost nothing. What it
// replaces goes only once it is complete, so that counts as taken. A file
// system that can't say lets the work go on.

// Returns the refusal of a split of `source` into `parts` pieces of
// `pieceSize` bytes in `target` (the info file, and with `checksums` the
// checksum file, a block each): a part larger than the file system holds,
// or too little room. Throws FileError when the source can't be looked at.
std::optional<Report> CheckSplitRoom(const Folder& target, const File& source,
                                     std::uint64_t pieceSize, std::size_t parts, bool checksums);

// Returns the refusal of a join of `parts` (in the join's order) into a
// file in their folder `set`: an output larger than the file system holds,
// or too little room. Throws FileError when a part can't be opened.
std::optional<Report> CheckJoinRoom(const Folder& set, const std::vector<FolderEntry>& parts);

}  // namespace parcelo
