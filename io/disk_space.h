#pragma once

#include <cstdint>
#include <optional>

namespace parcelo {

class File;
class Folder;

// The unit disk space is counted in: the block of most file systems.
inline constexpr std::uint64_t kDiskBlock = 4096;

// Returns `bytes` rounded up to whole disk blocks.
inline std::uint64_t WholeBlocks(std::uint64_t bytes) {
  return bytes / kDiskBlock * kDiskBlock + (bytes % kDiskBlock ? kDiskBlock : 0);
}

// Returns the bytes free for the runner on the folder's file system;
// nothing where the file system can't say.
std::optional<std::uint64_t> FreeSpaceIn(const Folder& folder);

// Returns the largest file the folder's file system can hold, UINT64_MAX
// where it sets no limit or can't say.
std::uint64_t LargestFileIn(const Folder& folder);

// Returns what a new file holding `count` bytes of `file` from `offset`
// takes on disk: the data in whole blocks, holes nothing, and never more
// than the whole of `file` takes where it has fewer blocks than its data
// seems to need (a file system that reports no holes). Throws FileError
// when the file's status can't be read.
std::uint64_t StoredBytes(const File& file, std::uint64_t offset, std::uint64_t count);

// True when new files in `folder` can share blocks with `from` (copy on
// write, see RangeCopier): a probe shares the first block of `from` with
// an unnamed file there, dropped at once. False where that fails or can't
// be tried.
bool SharesBlocks(const File& from, const Folder& folder);

}  // namespace parcelo
