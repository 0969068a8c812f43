#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "io/file_status.h"

namespace parcelo {

class File;

// Sees the bytes a copy moves, in order, a hole as zero bytes: a checksum
// computed as the bytes pass. See() runs on a thread of the copier's own,
// beside the copy, one call at a time for each observer, and must not
// throw.
class ByteObserver {
 public:
  virtual ~ByteObserver() = default;
  virtual void See(const char* data, std::size_t size) noexcept = 0;
};

// The observers of one copy, each on a thread of its own.
using ByteObservers = std::vector<ByteObserver*>;

// Moves byte ranges from one file into another for one operation. It owns
// the single fixed-size buffer the operation copies through, whatever the
// size of a piece, and shares blocks instead of copying them where the file
// system can (copy on write), falling back to the buffer where it can't.
// Holes of the source (sparse files) stay holes: nothing is written for
// them, so the destination range must be one nothing was written to yet (a
// new file), and the destination is made long enough when a range ends in
// a hole. Where the file system does not report a source's holes but the
// source takes clearly fewer blocks than its length, whole blocks of zero
// bytes are left unwritten instead.
class RangeCopier {
 public:
  static constexpr std::size_t kBufferSize = 1u << 20;

  // Told the bytes moved after every chunk of a copy; it may throw to stop
  // the copy there.
  using Moved = std::function<void(std::uint64_t bytes)>;

  // Takes the buffer; throws std::bad_alloc when there is no memory for it.
  RangeCopier();
  ~RangeCopier();
  RangeCopier(const RangeCopier&) = delete;
  RangeCopier& operator=(const RangeCopier&) = delete;

  // Copies `count` bytes of `from` at `fromOffset` into `to` at `toOffset`.
  // Throws FileError naming the file that failed; a source that ends early
  // is an error (kUnexpectedEnd), never a short copy. The observers (at
  // most kMaxObservers) have seen every byte of the range when it returns,
  // also when it throws; shared blocks are read back for them from `to`,
  // so they see what the destination holds.
  void Copy(const File& from, std::uint64_t fromOffset, const File& to, std::uint64_t toOffset,
            std::uint64_t count, const Moved& moved, const ByteObservers& observers = {});

  // Reads `count` bytes of `from` at `fromOffset` for the observers alone,
  // as Copy() would copy them.
  void Read(const File& from, std::uint64_t fromOffset, std::uint64_t count, const Moved& moved,
            const ByteObservers& observers);

  // True when a copy shares the blocks of `count` bytes of `from` at
  // `fromOffset` into `toOffset`, where the file system can share at all.
  static bool CanShare(const FileStatus& from, std::uint64_t fromOffset, std::uint64_t toOffset,
                       std::uint64_t count);

  // The most observers one copy may have (each one a thread).
  static constexpr std::size_t kMaxObservers = 4;

 private:
  struct FreeBuffer {
    void operator()(char* buffer) const;
  };
  class Helpers;

  void Move(const File& from, std::uint64_t fromOffset, const File* to, std::uint64_t toOffset,
            std::uint64_t count, const Moved& moved, const ByteObservers& observers);
  void SeeHole(std::uint64_t count);
  void CopyData(const File& from, std::uint64_t fromOffset, const File* to, std::uint64_t toOffset,
                std::uint64_t count, const Moved& moved);
  bool TryClone(const File& from, std::uint64_t fromOffset, const File& to, std::uint64_t toOffset,
                std::uint64_t count);
  void CopyThroughBuffer(const File& from, std::uint64_t fromOffset, const File* to,
                         std::uint64_t toOffset, std::uint64_t count, const Moved& moved);

  // Page-aligned: the kernel copies into an aligned buffer markedly faster.
  std::unique_ptr<char, FreeBuffer> buffer_;
  bool cloneSupported_ = true;
  // The threads that run the observers, with buffers of their own; made
  // for the first copy that has observers.
  std::unique_ptr<Helpers> helpers_;
  bool observing_ = false;
  bool leaveHoles_ = false;  // zero blocks of this copy's source stay holes
};

}  // namespace parcelo
