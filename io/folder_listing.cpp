#include "io/folder_listing.h"

#include <algorithm>

#include "io/file_error.h"
#include "io/folder.h"

namespace parcelo {

std::vector<FolderEntry> ListFolder(const Folder& folder) {
  std::vector<FolderEntry> entries;
  try {
    for (std::string& name : folder.Names()) {
      if (name.front() == '.') continue;
      // An entry removed since the folder was read is simply not listed.
      if (const std::optional<FileStatus> status = folder.Status(name)) {
        entries.push_back({std::move(name), *status});
      }
    }
  } catch (const FileError& error) {
    // Without search permission no entry can be looked at: the folder can't be read.
    throw FileError(error.code(), FileOperation::ListFolder, folder.path());
  }
  std::sort(entries.begin(), entries.end(),
            [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
  return entries;
}

}  // namespace parcelo
