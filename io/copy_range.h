#pragma once

#include <cstdint>
#include <functional>

#include "io/block_sharing.h"
#include "io/observer_threads.h"

namespace parcelo {

class File;

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
  // Told the bytes moved after every chunk of a copy; it may throw to stop
  // the copy there.
  using Moved = std::function<void(std::uint64_t bytes)>;

  // Takes the buffer; throws std::bad_alloc when there is no memory for it.
  RangeCopier() = default;

  // Copies `count` bytes of `from` at `fromOffset` into `to` at `toOffset`.
  // Throws FileError naming the file that failed; a source that ends early
  // is an error (kUnexpectedEnd), never a short copy. The observers (at
  // most ObserverThreads::kMaxObservers) have seen every byte of the range
  // when it returns, also when it throws; shared blocks are read back for
  // them from `to`, so they see what the destination holds.
  void Copy(const File& from, std::uint64_t fromOffset, const File& to, std::uint64_t toOffset,
            std::uint64_t count, const Moved& moved, const ByteObservers& observers = {});

  // Reads `count` bytes of `from` at `fromOffset` for the observers alone,
  // as Copy() would copy them.
  void Read(const File& from, std::uint64_t fromOffset, std::uint64_t count, const Moved& moved,
            const ByteObservers& observers);

 private:
  // The steps of a copy: the range as extents of data and holes, each hole
  // skipped, each data extent shared or else copied through the buffer.
  void Move(const File& from, std::uint64_t fromOffset, const File* to, std::uint64_t toOffset,
            std::uint64_t count, const Moved& moved, const ByteObservers& observers);
  void SkipHole(std::uint64_t count, const Moved& moved);
  bool ShareBlocks(const File& from, std::uint64_t fromOffset, const File& to,
                   std::uint64_t toOffset, std::uint64_t count, const Moved& moved);
  void CopyThroughBuffer(const File& from, std::uint64_t fromOffset, const File* to,
                         std::uint64_t toOffset, std::uint64_t count, const Moved& moved);

  ObserverThreads buffers_;
  BlockSharing sharing_;
  bool leaveHoles_ = false;  // zero blocks of this copy's source stay holes
};

}  // namespace parcelo
