#include "io/file_status.h"

#include <sys/stat.h>

namespace parcelo {

FileStatus FileStatus::From(const struct stat& status) {
  FileStatus result;
  if (S_ISREG(status.st_mode)) {
    result.kind = Kind::Regular;
  } else if (S_ISDIR(status.st_mode)) {
    result.kind = Kind::Folder;
  } else if (S_ISLNK(status.st_mode)) {
    result.kind = Kind::SymbolicLink;
  }
  result.device = static_cast<std::uint64_t>(status.st_dev);
  result.inode = static_cast<std::uint64_t>(status.st_ino);
  result.size = status.st_size > 0 ? static_cast<std::uint64_t>(status.st_size) : 0;
  result.mode = static_cast<std::uint32_t>(status.st_mode & 07777);
  result.owner = static_cast<std::uint32_t>(status.st_uid);
  result.group = static_cast<std::uint32_t>(status.st_gid);
  result.blockSize = status.st_blksize > 0 ? static_cast<std::uint32_t>(status.st_blksize) : 0;
  result.modified =
      static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
  result.allocated = status.st_blocks > 0 ? static_cast<std::uint64_t>(status.st_blocks) * 512 : 0;
  return result;
}

}  // namespace parcelo
