#pragma once

#include <string>

namespace parcelo {

// What a path names, a symbolic link followed to its target.
enum class PathKind { Nothing, File, Folder, Other };

// Returns what the path names: a regular file, a folder, something else (a
// FIFO, a device, a link that leads nowhere), or Nothing when no entry is
// there or it can't be looked at. Never blocks, never throws but for memory.
PathKind KindOfPath(const std::string& path);

// True when the path names a folder that holds a part set as the join reads
// it: a regular file "Infa.inf" and at least one regular ".drb" file (any
// letter case) among the entries the listing shows. False for anything
// else, a folder that can't be read included.
bool HoldsPartSet(const std::string& path);

}  // namespace parcelo
