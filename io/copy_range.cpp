#include "io/copy_range.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <new>
#include <optional>
#include <stdexcept>
#include <thread>

#include "io/disk_space.h"
#include "io/file.h"
#include "io/file_error.h"
#include "io/sys_calls.h"
#include "io/write_all.h"

namespace parcelo {
namespace {

constexpr std::size_t kPageSize = 4096;

char* AlignedBuffer() {
  return static_cast<char*>(::operator new (RangeCopier::kBufferSize, std::align_val_t{kPageSize}));
}

// Where the data at `offset` ends: the start of the next hole, `offset`
// itself in a hole. Where the file system tells nothing, or the file ended
// before `offset`, everything counts as data (a read then finds the end).
std::uint64_t DataEndAt(const File& file, std::uint64_t offset) {
  std::uint64_t hole = 0;
  return Sys().SeekHole(file.handle(), offset, &hole) == 0 ? hole : UINT64_MAX;
}

// Where the hole at `offset` ends: the start of the next data, UINT64_MAX
// for a hole that runs to the end of the file, nothing where the file
// system can't tell.
std::optional<std::uint64_t> HoleEndAt(const File& file, std::uint64_t offset) {
  std::uint64_t data = 0;
  const int error = Sys().SeekData(file.handle(), offset, &data);
  if (error == 0) return data;
  if (error == ENXIO) return UINT64_MAX;
  return std::nullopt;
}

// True when the file has holes its file system does not report (ntfs-3g
// reports every file as all data): it takes clearly fewer blocks than its
// length needs, yet no hole shows before its end.
bool HasUnreportedHoles(const File& file) {
  FileStatus status;
  if (Sys().Status(file.handle(), &status) != 0) return false;
  const std::uint64_t holes = status.size - std::min(status.allocated, status.size);
  if (holes < RangeCopier::kBufferSize || holes < status.size / 8) return false;
  std::uint64_t hole = 0;
  return Sys().SeekHole(file.handle(), 0, &hole) != 0 || hole >= status.size;
}

bool IsAllZero(const char* data, std::size_t size) {
  return size == 0 || (data[0] == 0 && std::memcmp(data, data + 1, size - 1) == 0);
}

// Writes `size` bytes at `offset` of a new file but for its whole blocks of
// zero bytes, which stay holes.
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

}  // namespace

// Runs each observer on a thread of its own, so that computing checksums
// overlaps the reads and writes instead of adding to them. The copy fills
// the buffers of a small ring in turn; a buffer is filled again only once
// every observer has seen what it held.
class RangeCopier::Helpers {
 public:
  static constexpr std::size_t kRing = 2;

  Helpers() {
    for (auto& buffer : buffers_) buffer.reset(AlignedBuffer());
  }

  ~Helpers() {
    {
      const std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    work_.notify_all();
    for (std::thread& thread : threads_) thread.join();
  }

  // Sets the observers of the chunks posted from now on; only once every
  // chunk posted so far was seen.
  void Use(const ByteObservers& observers) {
    if (observers.size() > kMaxObservers) throw std::length_error("too many byte observers");
    while (threads_.size() < observers.size()) {
      const std::size_t index = threads_.size();
      threads_.emplace_back([this, index] { Run(index); });
    }
    const std::lock_guard lock(mutex_);
    observers_ = observers;
    for (std::uint64_t& done : done_) done = posted_;
  }

  // The buffer to read the next chunk into, once the observers are done
  // with what it held.
  char* NextBuffer() {
    std::unique_lock lock(mutex_);
    WaitForSlot(lock);
    return buffers_[posted_ % kRing].get();
  }

  // Hands the next chunk to every observer and returns at once; `data`
  // stays unchanged until they have seen it.
  void Post(const char* data, std::size_t size) {
    {
      std::unique_lock lock(mutex_);
      WaitForSlot(lock);
      chunks_[posted_ % kRing] = {data, size};
      ++posted_;
    }
    work_.notify_all();
  }

  // Waits until every observer has seen every chunk posted.
  void Drain() {
    std::unique_lock lock(mutex_);
    seen_.wait(lock, [this] { return AllSeen(posted_); });
  }

 private:
  struct Chunk {
    const char* data = nullptr;
    std::size_t size = 0;
  };

  bool AllSeen(std::uint64_t chunks) const {
    for (std::size_t i = 0; i < observers_.size(); ++i) {
      if (done_[i] < chunks) return false;
    }
    return true;
  }

  // The slot of the next chunk is free once its previous chunk was seen.
  void WaitForSlot(std::unique_lock<std::mutex>& lock) {
    if (posted_ < kRing) return;
    seen_.wait(lock, [this] { return AllSeen(posted_ - kRing + 1); });
  }

  void Run(std::size_t index) {
    std::unique_lock lock(mutex_);
    for (;;) {
      work_.wait(
          lock, [&] { return stopping_ || (index < observers_.size() && done_[index] < posted_); });
      if (stopping_) return;
      const Chunk chunk = chunks_[done_[index] % kRing];
      ByteObserver* observer = observers_[index];
      lock.unlock();
      observer->See(chunk.data, chunk.size);
      lock.lock();
      ++done_[index];
      seen_.notify_all();
    }
  }

  std::array<std::unique_ptr<char, FreeBuffer>, kRing> buffers_;
  std::mutex mutex_;
  std::condition_variable work_;  // a chunk was posted, or the helpers stop
  std::condition_variable seen_;  // an observer has seen a chunk
  ByteObservers observers_;
  std::array<Chunk, kRing> chunks_;
  std::uint64_t posted_ = 0;
  std::array<std::uint64_t, kMaxObservers> done_{};
  bool stopping_ = false;
  std::vector<std::thread> threads_;
};

bool RangeCopier::CanShare(const FileStatus& from, std::uint64_t fromOffset, std::uint64_t toOffset,
                           std::uint64_t count) {
  // Block sharing works on whole blocks; the last block of the source may
  // be partial, since the clone then ends at the source's end.
  const std::uint64_t block = from.blockSize;
  return count != 0 && block != 0 && fromOffset % block == 0 && toOffset % block == 0 &&
         (count % block == 0 || fromOffset + count == from.size);
}

void RangeCopier::FreeBuffer::operator()(char* buffer) const {
  ::operator delete (buffer, std::align_val_t{kPageSize});
}

RangeCopier::RangeCopier() : buffer_(AlignedBuffer()) {}

RangeCopier::~RangeCopier() = default;

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
  observing_ = !observers.empty();
  if (observing_) {
    if (!helpers_) helpers_ = std::make_unique<Helpers>();
    helpers_->Use(observers);
  }
  // Whatever stops the copy, the observers are done with the buffers and
  // have seen all that was read before it returns.
  struct DrainOnExit {
    Helpers* helpers;
    ~DrainOnExit() {
      if (helpers) helpers->Drain();
    }
  } drain{observing_ ? helpers_.get() : nullptr};

  const std::uint64_t end = fromOffset + count;
  std::uint64_t position = fromOffset;
  bool endsInHole = false;
  leaveHoles_ = to && HasUnreportedHoles(from);
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
      if (observing_) SeeHole(holeEnd - position);
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
  // The source must still be as long as the range (a hole also runs past
  // the end of a file that shrank), and the destination becomes as long.
  if (endsInHole && from.Size() < end) {
    throw FileError(kUnexpectedEnd, FileOperation::Read, from.path());
  }
  if (endsInHole || leaveHoles_) {
    const std::uint64_t length = toOffset + count;
    if (to && to->Size() < length) {
      if (const int error = Sys().SetSize(to->handle(), length)) {
        throw FileError(error, FileOperation::Write, to->path());
      }
    }
  }
}

void RangeCopier::SeeHole(std::uint64_t count) {
  static const std::unique_ptr<char[]> zeros(new char[kBufferSize]());
  while (count > 0) {
    const std::size_t size = static_cast<std::size_t>(std::min<std::uint64_t>(count, kBufferSize));
    helpers_->Post(zeros.get(), size);
    count -= size;
  }
}

void RangeCopier::CopyData(const File& from, std::uint64_t fromOffset, const File* to,
                           std::uint64_t toOffset, std::uint64_t count, const Moved& moved) {
  if (to && TryClone(from, fromOffset, *to, toOffset, count)) {
    if (!observing_) {
      if (moved) moved(count);
      return;
    }
    // The observers see the shared blocks as they now lie in the
    // destination, read back from there: a source changed meanwhile can't
    // make them vouch for bytes the destination does not hold. No write,
    // but every byte of the range passes through memory.
    CopyThroughBuffer(*to, toOffset, nullptr, 0, count, moved);
    return;
  }
  CopyThroughBuffer(from, fromOffset, to, toOffset, count, moved);
}

bool RangeCopier::TryClone(const File& from, std::uint64_t fromOffset, const File& to,
                           std::uint64_t toOffset, std::uint64_t count) {
  FileStatus status;
  if (!cloneSupported_ || Sys().Status(from.handle(), &status) != 0 ||
      !CanShare(status, fromOffset, toOffset, count)) {
    return false;
  }
  const int error = Sys().CloneRange(from.handle(), fromOffset, to.handle(), toOffset, count);
  if (error == 0) return true;
  // Where the file system has no shared blocks at all, don't ask again for
  // every part; other failures fall back for this range only.
  if (error == EOPNOTSUPP || error == EXDEV || error == ENOTTY || error == ENOSYS) {
    cloneSupported_ = false;
  }
  return false;
}

void RangeCopier::CopyThroughBuffer(const File& from, std::uint64_t fromOffset, const File* to,
                                    std::uint64_t toOffset, std::uint64_t count,
                                    const Moved& moved) {
  while (count > 0) {
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(count, kBufferSize));
    char* buffer = observing_ ? helpers_->NextBuffer() : buffer_.get();
    const std::size_t got = from.ReadAt(buffer, want, fromOffset);
    if (got == 0) throw FileError(kUnexpectedEnd, FileOperation::Read, from.path());
    if (observing_) helpers_->Post(buffer, got);
    if (to && leaveHoles_) {
      WriteLeavingHoles(*to, buffer, got, toOffset);
    } else if (to) {
      WriteAll(*to, buffer, got, toOffset);
    }
    fromOffset += got;
    toOffset += got;
    count -= got;
    if (moved) moved(got);
  }
}

}  // namespace parcelo
