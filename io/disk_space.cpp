#include "io/disk_space.h"

#include <algorithm>
#include <cerrno>

#include "io/file.h"
#include "io/folder.h"
#include "io/sys_calls.h"

namespace parcelo {

std::optional<std::uint64_t> FreeSpaceIn(const Folder& folder) {
  std::uint64_t bytes = 0;
  if (Sys().FreeSpace(folder.handle(), &bytes) != 0) return std::nullopt;
  return bytes;
}

std::uint64_t LargestFileIn(const Folder& folder) {
  std::uint64_t bytes = 0;
  return Sys().LargestFile(folder.handle(), &bytes) == 0 ? bytes : UINT64_MAX;
}

std::uint64_t StoredBytes(const File& file, std::uint64_t offset, std::uint64_t count) {
  const std::uint64_t end = offset + count;
  std::uint64_t stored = 0;
  for (std::uint64_t position = offset; position < end;) {
    std::uint64_t data = 0;
    const int error = Sys().SeekData(file.handle(), position, &data);
    if (error == ENXIO) break;  // a hole to the end
    // Where the file system can't tell, the rest counts as data.
    const std::uint64_t start = error ? position : data;
    if (start >= end) break;
    std::uint64_t hole = 0;
    const bool told = Sys().SeekHole(file.handle(), start, &hole) == 0 && hole > 0;
    const std::uint64_t stop = told ? std::min(hole, end) : end;
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
  FileStatus status;
  if (Sys().Status(from.handle(), &status) != 0 || status.size == 0) return false;
  OpenOptions options;
  options.access = OpenOptions::Access::ReadWrite;
  options.creation = OpenOptions::Creation::CreateUnnamed;
  Handle opened;
  if (Sys().Open(folder.handle(), ".", options, &opened) != 0) return false;
  const OwnedHandle probe(opened);
  const std::uint64_t block = status.blockSize ? status.blockSize : kDiskBlock;
  return Sys().CloneRange(from.handle(), 0, probe.get(), 0, std::min(block, status.size)) == 0;
}

}  // namespace parcelo
