#pragma once

#include <string>
#include <vector>

#include "io/file_status.h"

namespace parcelo {

class Folder;

// One entry of a folder listing, with what the listing saw of it.
struct FolderEntry {
  std::string name;
  FileStatus status;
};

// Returns the entries of an open folder, sorted by name (byte order), with
// their kind and identity as the listing saw them (symbolic links not
// followed), each looked at through the folder itself, so the listing is of
// the folder that was opened (and locked) whatever happens to its path
// meanwhile. Hidden entries (names starting with ".") are left out. Throws
// FileError when the folder can't be read or an entry can't be looked at
// (a folder without search permission, EACCES).
std::vector<FolderEntry> ListFolder(const Folder& folder);

}  // namespace parcelo
