#pragma once

#include <cstddef>
#include <cstdint>

namespace parcelo {

class File;

// A stretch of a file that is either data or a hole (a sparse file's range
// without blocks, read as zero bytes).
struct Extent {
  std::uint64_t size = 0;
  bool hole = false;
};

// The extent that starts at `offset`, cut at `end`. Where the file system
// tells nothing of holes, or the file ended before `offset`, everything
// counts as data (a read then finds the end). A file without holes costs
// one seek: its first hole is its end.
Extent ExtentAt(const File& file, std::uint64_t offset, std::uint64_t end);

// True when the file has holes its file system does not report (ntfs-3g
// reports every file as all data): it takes clearly fewer blocks than its
// length needs, yet no hole shows before its end.
bool HasUnreportedHoles(const File& file);

// Writes `size` bytes at `offset` of a new file but for its whole blocks of
// zero bytes, which stay holes.
void WriteLeavingHoles(const File& to, const char* data, std::size_t size, std::uint64_t offset);

}  // namespace parcelo
