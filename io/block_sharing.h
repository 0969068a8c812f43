#pragma once

#include <cstdint>

#include "io/file_status.h"

namespace parcelo {

class File;

// Shares a range's blocks between two files instead of copying them, where
// the file system can (copy on write: reflink on XFS, Btrfs; block cloning
// on ReFS).
class BlockSharing {
 public:
  // True when the blocks of `count` bytes of `from` at `fromOffset` can be
  // shared into `toOffset`, where the file system can share at all.
  static bool CanShare(const FileStatus& from, std::uint64_t fromOffset, std::uint64_t toOffset,
                       std::uint64_t count);

  // Shares the range, true when done. False leaves the range to be copied:
  // where the file system has no shared blocks at all, every later call
  // returns false at once.
  bool Share(const File& from, std::uint64_t fromOffset, const File& to, std::uint64_t toOffset,
             std::uint64_t count);

 private:
  bool supported_ = true;
};

}  // namespace parcelo
