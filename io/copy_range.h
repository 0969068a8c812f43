#pragma once

#include <cstdint>
#include <memory>

namespace parcelo {

class File;
class ProgressMeter;

// Moves byte ranges from one file into another for one operation. It owns
// the single fixed-size buffer the operation copies through, whatever the
// size of a piece, and shares blocks instead of copying them where the file
// system can (copy on write), falling back to the buffer where it can't.
class RangeCopier {
 public:
  static constexpr std::size_t kBufferSize = 1u << 20;

  RangeCopier();

  // Copies `count` bytes of `from` at `fromOffset` into `to` at `toOffset`.
  // Throws FileError naming the file that failed; a source that ends early
  // is an error (kUnexpectedEnd), never a short copy.
  void Copy(const File& from, std::uint64_t fromOffset, const File& to, std::uint64_t toOffset,
            std::uint64_t count, ProgressMeter& meter);

 private:
  bool TryClone(const File& from, std::uint64_t fromOffset, const File& to,
                std::uint64_t toOffset, std::uint64_t count);
  void CopyThroughBuffer(const File& from, std::uint64_t fromOffset, const File& to,
                         std::uint64_t toOffset, std::uint64_t count, ProgressMeter& meter);

  std::unique_ptr<char[]> buffer_;
  bool cloneSupported_ = true;
};

}  // namespace parcelo
