#include "io/copy_range.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <new>

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

}  // namespace

void RangeCopier::FreeBuffer::operator()(char* buffer) const { std::free(buffer); }

RangeCopier::RangeCopier()
    : buffer_(static_cast<char*>(std::aligned_alloc(kPageSize, kBufferSize))) {
  if (!buffer_) throw std::bad_alloc();
}

void RangeCopier::Copy(const File& from, std::uint64_t fromOffset, const File& to,
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
