#include "io/copy_range.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <new>
#include <optional>

#include "io/file.h"
#include "io/file_error.h"
#include "io/sys_calls.h"
#include "io/write_all.h"

namespace parcelo {
namespace {

constexpr std::size_t kPageSize = 4096;

// Block sharing works on whole blocks; the last block of the source may be
// partial, since the clone then ends at the source's end.
bool IsCloneable(const File& from, std::uint64_t fromOffset, std::uint64_t toOffset,
                 std::uint64_t count) {
  struct stat status {};
  if (count == 0 || Sys().Fstat(from.fd(), &status) != 0 || status.st_blksize <= 0) return false;
  const auto block = static_cast<std::uint64_t>(status.st_blksize);
  const bool endsAtSourceEnd = fromOffset + count == static_cast<std::uint64_t>(status.st_size);
  return fromOffset % block == 0 && toOffset % block == 0 &&
         (count % block == 0 || endsAtSourceEnd);
}

// Where the data at `offset` ends: the start of the next hole, `offset`
// itself in a hole. Where the file system tells nothing, or the file ended
// before `offset`, everything counts as data (a read then finds the end).
std::uint64_t DataEndAt(const File& file, std::uint64_t offset) {
  const off_t hole = Sys().SeekHole(file.fd(), offset);
  return hole < 0 ? UINT64_MAX : static_cast<std::uint64_t>(hole);
}

// Where the hole at `offset` ends: the start of the next data, UINT64_MAX
// for a hole that runs to the end of the file, nothing where the file
// system can't tell.
std::optional<std::uint64_t> HoleEndAt(const File& file, std::uint64_t offset) {
  const off_t data = Sys().SeekData(file.fd(), offset);
  if (data >= 0) return static_cast<std::uint64_t>(data);
  if (errno == ENXIO) return UINT64_MAX;
  return std::nullopt;
}

}  // namespace

void RangeCopier::FreeBuffer::operator()(char* buffer) const { std::free(buffer); }

RangeCopier::RangeCopier()
    : buffer_(static_cast<char*>(std::aligned_alloc(kPageSize, kBufferSize))) {
  if (!buffer_) throw std::bad_alloc();
}

void RangeCopier::Copy(const File& from, std::uint64_t fromOffset, const File& to,
                       std::uint64_t toOffset, std::uint64_t count, const Moved& moved) {
  const std::uint64_t end = fromOffset + count;
  std::uint64_t position = fromOffset;
  bool endsInHole = false;
  // A file without holes costs one seek: its first hole is its end.
  while (position < end) {
    const std::uint64_t dataEnd = std::min(DataEndAt(from, position), end);
    std::uint64_t holeEnd = position;
    if (dataEnd == position) {
      // A hole; if the file system contradicts itself (data written since
      // the last seek), what is left is copied as data.
      holeEnd = std::min(HoleEndAt(from, position).value_or(position), end);
    }
    if (holeEnd > position) {
      if (moved) moved(holeEnd - position);
      position = holeEnd;
      endsInHole = true;
      continue;
    }
    const std::uint64_t stop = dataEnd > position ? dataEnd : end;
    CopyData(from, position, to, toOffset + (position - fromOffset), stop - position, moved);
    position = stop;
    endsInHole = false;
  }
  if (endsInHole) {
    // The source must still be as long as the range (a hole also runs past
    // the end of a file that shrank), and the destination becomes as long.
    if (from.Size() < end) throw FileError(kUnexpectedEnd, FileOperation::Read, from.path());
    const std::uint64_t length = toOffset + count;
    if (to.Size() < length && Sys().Ftruncate(to.fd(), length) != 0) {
      throw FileError(errno, FileOperation::Write, to.path());
    }
  }
}

void RangeCopier::CopyData(const File& from, std::uint64_t fromOffset, const File& to,
                           std::uint64_t toOffset, std::uint64_t count, const Moved& moved) {
  if (TryClone(from, fromOffset, to, toOffset, count)) {
    if (moved) moved(count);
    return;
  }
  CopyThroughBuffer(from, fromOffset, to, toOffset, count, moved);
}

bool RangeCopier::TryClone(const File& from, std::uint64_t fromOffset, const File& to,
                           std::uint64_t toOffset, std::uint64_t count) {
  if (!cloneSupported_ || !IsCloneable(from, fromOffset, toOffset, count)) return false;
  if (Sys().CloneRange(from.fd(), fromOffset, to.fd(), toOffset, count) == 0) return true;
  // Where the file system has no shared blocks at all, don't ask again for
  // every part; other failures fall back for this range only.
  if (errno == EOPNOTSUPP || errno == EXDEV || errno == ENOTTY || errno == ENOSYS) {
    cloneSupported_ = false;
  }
  return false;
}

void RangeCopier::CopyThroughBuffer(const File& from, std::uint64_t fromOffset, const File& to,
                                    std::uint64_t toOffset, std::uint64_t count,
                                    const Moved& moved) {
  while (count > 0) {
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(count, kBufferSize));
    const std::size_t got = from.ReadAt(buffer_.get(), want, fromOffset);
    if (got == 0) throw FileError(kUnexpectedEnd, FileOperation::Read, from.path());
    WriteAll(to, buffer_.get(), got, toOffset);
    fromOffset += got;
    toOffset += got;
    count -= got;
    if (moved) moved(got);
  }
}

}  // namespace parcelo
