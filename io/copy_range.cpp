#include "io/copy_range.h"

#include <algorithm>
#include <cerrno>
#include <optional>

#include "io/file.h"
#include "io/file_error.h"
#include "io/file_holes.h"
#include "io/sys_calls.h"
#include "io/write_all.h"
#include "io/write_behind.h"

namespace parcelo {

void RangeCopier::Copy(const File& from, std::uint64_t fromOffset, const File& to,
                       std::uint64_t toOffset, std::uint64_t count, const Moved& moved,
                       const ByteObservers& observers) {
  Move(from, fromOffset, &to, toOffset, count, moved, observers);
}

void RangeCopier::Read(const File& from, std::uint64_t fromOffset, std::uint64_t count,
                       const Moved& moved, const ByteObservers& observers) {
  Move(from, fromOffset, nullptr, 0, count, moved, observers);
}

void RangeCopier::Move(const File& from, std::uint64_t fromOffset, const File* to,
                       std::uint64_t toOffset, std::uint64_t count, const Moved& moved,
                       const ByteObservers& observers) {
  buffers_.Use(observers);
  // Whatever stops the copy, the observers are done with the buffers and
  // have seen all that was read before it returns.
  struct FinishOnExit {
    ObserverThreads& buffers;
    ~FinishOnExit() { buffers.Finish(); }
  } finish{buffers_};
  leaveHoles_ = to && HasUnreportedHoles(from);
  const std::uint64_t end = fromOffset + count;
  bool endsInHole = false;
  for (std::uint64_t position = fromOffset; position < end;) {
    const Extent extent = ExtentAt(from, position, end);
    const std::uint64_t target = toOffset + (position - fromOffset);
    if (extent.hole) {
      SkipHole(extent.size, moved);
    } else if (!to || !ShareBlocks(from, position, *to, target, extent.size, moved)) {
      CopyThroughBuffer(from, position, to, target, extent.size, moved);
    }
    position += extent.size;
    endsInHole = extent.hole;
  }
  // The source must still be as long as the range (a hole also runs past
  // the end of a file that shrank), and the destination becomes as long.
  if (endsInHole && from.Size() < end) {
    throw FileError(kUnexpectedEnd, FileOperation::Read, from.path());
  }
  if (to && (endsInHole || leaveHoles_) && to->Size() < toOffset + count) {
    if (const int error = Sys().SetSize(to->handle(), toOffset + count)) {
      throw FileError(error, FileOperation::Write, to->path());
    }
  }
}

void RangeCopier::SkipHole(std::uint64_t count, const Moved& moved) {
  // Nothing to write; the observers see zeros.
  if (buffers_.Observing()) buffers_.PostZeros(count);
  if (moved) moved(count);
}

bool RangeCopier::ShareBlocks(const File& from, std::uint64_t fromOffset, const File& to,
                              std::uint64_t toOffset, std::uint64_t count, const Moved& moved) {
  if (!sharing_.Share(from, fromOffset, to, toOffset, count)) return false;
  if (!buffers_.Observing()) {
    if (moved) moved(count);
    return true;
  }
  // The observers see the shared blocks as they now lie in the
  // destination, read back from there: a source changed meanwhile can't
  // make them vouch for bytes the destination does not hold. No write, but
  // every byte of the range passes through memory.
  CopyThroughBuffer(to, toOffset, nullptr, 0, count, moved);
  return true;
}

void RangeCopier::CopyThroughBuffer(const File& from, std::uint64_t fromOffset, const File* to,
                                    std::uint64_t toOffset, std::uint64_t count,
                                    const Moved& moved) {
  std::optional<WriteBehind> behind;
  if (to) behind.emplace(*to, toOffset);
  while (count > 0) {
    const std::size_t want =
        static_cast<std::size_t>(std::min<std::uint64_t>(count, ObserverThreads::kBufferSize));
    char* buffer = buffers_.Buffer();
    const std::size_t got = from.ReadAt(buffer, want, fromOffset);
    if (got == 0) throw FileError(kUnexpectedEnd, FileOperation::Read, from.path());
    buffers_.Post(buffer, got);
    if (to && leaveHoles_) {
      WriteLeavingHoles(*to, buffer, got, toOffset);
    } else if (to) {
      WriteAll(*to, buffer, got, toOffset);
    }
    fromOffset += got;
    toOffset += got;
    count -= got;
    if (behind) behind->Wrote(toOffset);
    if (moved) moved(got);
  }
}

}  // namespace parcelo
