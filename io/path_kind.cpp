#include "io/path_kind.h"

#include <algorithm>
#include <optional>

#include "io/file_error.h"
#include "io/folder.h"
#include "io/folder_listing.h"
#include "io/handle.h"
#include "io/sys_calls.h"
#include "partset/part_number.h"

namespace parcelo {

PathKind KindOfPath(const std::string& path) {
  FileStatus status;
  if (path.empty() || Sys().EntryStatus(Handle(), path.c_str(), &status) != 0) {
    return PathKind::Nothing;
  }
  if (status.kind == FileStatus::Kind::SymbolicLink) {
    // What the link leads to, opened without blocking on a FIFO.
    Handle opened;
    if (Sys().Open(Handle(), path.c_str(), OpenOptions(), &opened) != 0) return PathKind::Other;
    const OwnedHandle target(opened);
    if (Sys().Status(target.get(), &status) != 0) return PathKind::Other;
  }
  switch (status.kind) {
    case FileStatus::Kind::Regular: return PathKind::File;
    case FileStatus::Kind::Folder: return PathKind::Folder;
    default: return PathKind::Other;
  }
}

bool HoldsPartSet(const std::string& path) {
  try {
    const Folder folder = Folder::Open(path);
    const std::optional<FileStatus> info = folder.Status(std::string(kInfoFileName));
    if (!info || info->kind != FileStatus::Kind::Regular) return false;
    const std::vector<FolderEntry> listing = ListFolder(folder);
    return std::any_of(listing.begin(), listing.end(), [](const FolderEntry& entry) {
      return entry.status.kind == FileStatus::Kind::Regular && HasPartExtension(entry.name);
    });
  } catch (const FileError&) {
    return false;
  }
}

}  // namespace parcelo
