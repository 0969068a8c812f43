#include "io/block_sharing.h"

#include <cerrno>

#include "io/file.h"
#include "io/sys_calls.h"

namespace parcelo {

bool BlockSharing::CanShare(const FileStatus& from, std::uint64_t fromOffset,
                            std::uint64_t toOffset, std::uint64_t count) {
  // Block sharing works on whole blocks; the last block of the source may
  // be partial, since the clone then ends at the source's end.
  const std::uint64_t block = from.blockSize;
  return count != 0 && block != 0 && fromOffset % block == 0 && toOffset % block == 0 &&
         (count % block == 0 || fromOffset + count == from.size);
}

bool BlockSharing::Share(const File& from, std::uint64_t fromOffset, const File& to,
                         std::uint64_t toOffset, std::uint64_t count) {
  FileStatus status;
  if (!supported_ || Sys().Status(from.handle(), &status) != 0 ||
      !CanShare(status, fromOffset, toOffset, count)) {
    return false;
  }
  const int error = Sys().CloneRange(from.handle(), fromOffset, to.handle(), toOffset, count);
  if (error == 0) return true;
  // Where the file system has no shared blocks at all, don't ask again for
  // every part; other failures fall back for this range only.
  if (error == EOPNOTSUPP || error == EXDEV || error == ENOTTY || error == ENOSYS) {
    supported_ = false;
  }
  return false;
}

}  // namespace parcelo
