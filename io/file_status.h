#pragma once

#include <cstdint>

namespace parcelo {

// What the file layer tells of a directory entry or an open file.
struct FileStatus {
  enum class Kind { Regular, Folder, SymbolicLink, Other };

  Kind kind = Kind::Other;
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::uint64_t size = 0;
  std::uint32_t mode = 0;  // permission bits, setuid, setgid and sticky bit included
  std::uint32_t owner = 0;
  std::uint32_t group = 0;
  std::uint32_t blockSize = 0;  // the file system's preferred block, 0 when unknown
  std::int64_t modified = 0;    // the last change of its bytes, in nanoseconds since 1970 (UTC)
  std::uint64_t allocated = 0;  // the bytes of disk its blocks take (holes take none)

  // True when both name one file (same device and inode), however spelled.
  bool IsSameFileAs(const FileStatus& other) const {
    return device == other.device && inode == other.inode;
  }
};

}  // namespace parcelo
