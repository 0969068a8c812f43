#include "io/file_holes.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "io/disk_space.h"
#include "io/file.h"
#include "io/file_status.h"
#include "io/sys_calls.h"
#include "io/write_all.h"

namespace parcelo {
namespace {

// Less than this many bytes of holes, or of an eighth of the file, may be
// blocks a file system leaves unallocated on its own.
constexpr std::uint64_t kClearlyHoles = 1u << 20;

bool IsAllZero(const char* data, std::size_t size) {
  return size == 0 || (data[0] == 0 && std::memcmp(data, data + 1, size - 1) == 0);
}

}  // namespace

Extent ExtentAt(const File& file, std::uint64_t offset, std::uint64_t end) {
  std::uint64_t hole = 0;
  const bool told = Sys().SeekHole(file.handle(), offset, &hole) == 0;
  const std::uint64_t dataEnd = told ? std::min(hole, end) : end;
  if (dataEnd > offset) return {dataEnd - offset, false};
  // A hole. If the file system contradicts itself (data written since the
  // last seek), what is left counts as data.
  std::uint64_t data = 0;
  const int error = Sys().SeekData(file.handle(), offset, &data);
  if (error != 0 && error != ENXIO) return {end - offset, false};
  const std::uint64_t holeEnd = error != 0 ? end : std::min(data, end);
  return holeEnd > offset ? Extent{holeEnd - offset, true} : Extent{end - offset, false};
}

bool HasUnreportedHoles(const File& file) {
  FileStatus status;
  if (Sys().Status(file.handle(), &status) != 0) return false;
  const std::uint64_t holes = status.size - std::min(status.allocated, status.size);
  if (holes < kClearlyHoles || holes < status.size / 8) return false;
  std::uint64_t hole = 0;
  return Sys().SeekHole(file.handle(), 0, &hole) != 0 || hole >= status.size;
}

void WriteLeavingHoles(const File& to, const char* data, std::size_t size, std::uint64_t offset) {
  std::size_t pending = 0;  // where the bytes not written yet start
  std::size_t block = static_cast<std::size_t>((kDiskBlock - offset % kDiskBlock) % kDiskBlock);
  for (; block + kDiskBlock <= size; block += kDiskBlock) {
    if (!IsAllZero(data + block, kDiskBlock)) continue;
    if (block > pending) WriteAll(to, data + pending, block - pending, offset + pending);
    pending = block + kDiskBlock;
  }
  if (size > pending) WriteAll(to, data + pending, size - pending, offset + pending);
}

}  // namespace parcelo
