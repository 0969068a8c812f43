#include "io/disk_space.h"

#include <algorithm>
#include <cerrno>

#include "io/file.h"
#include "io/folder.h"
#include "io/sys_calls.h"

namespace parcelo {

std::optional<std::uint64_t> FreeSpaceIn(const Folder& folder) {
  std::uint64_t bytes = 0;
  if (Sys().FreeSpace(folder.fd(), &bytes) != 0) return std::nullopt;
  return bytes;
}

std::uint64_t LargestFileIn(const Folder& folder) {
  std::uint64_t bytes = 0;
  return Sys().LargestFile(folder.fd(), &bytes) == 0 ? bytes : UINT64_MAX;
}

std::uint64_t StoredBytes(const File& file, std::uint64_t offset, std::uint64_t count) {
  const std::uint64_t end = offset + count;
  std::uint64_t stored = 0;
  for (std::uint64_t position = offset; position < end;) {
    const std::int64_t data = Sys().SeekData(file.fd(), position);
    if (data < 0 && errno == ENXIO) break;  // a hole to the end
    // Where the file system can't tell, the rest counts as data.
    const std::uint64_t start = data < 0 ? position : static_cast<std::uint64_t>(data);
    if (start >= end) break;
    const std::int64_t hole = Sys().SeekHole(file.fd(), start);
    const std::uint64_t stop = hole <= 0 ? end : std::min(static_cast<std::uint64_t>(hole), end);
    if (stop <= start) {  // the file changed between the seeks
      stored += WholeBlocks(end - start);
      break;
    }
    // Blocks of the new file, which starts at `offset`.
    stored += WholeBlocks(stop - offset) - (start - offset) / kDiskBlock * kDiskBlock;
    position = stop;
  }
  return std::min(stored, WholeBlocks(file.Status().allocated));
}

bool SharesBlocks(const File& from, const Folder& folder) {
#ifdef O_TMPFILE
  FileStatus status;
  if (Sys().Fstat(from.fd(), &status) != 0 || status.size == 0) return false;
  const int probe = Sys().OpenAt(folder.fd(), ".", O_TMPFILE | O_RDWR, 0600);
  if (probe < 0) return false;
  const std::uint64_t block = status.blockSize ? status.blockSize : kDiskBlock;
  const bool shared = Sys().CloneRange(from.fd(), 0, probe, 0, std::min(block, status.size)) == 0;
  Sys().Close(probe);
  return shared;
#else
  (void)from, (void)folder;
  return false;
#endif
}

}  // namespace parcelo
