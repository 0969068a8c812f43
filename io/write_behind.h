#pragma once

#include <cstdint>

namespace parcelo {

class File;

// Keeps the disk busy while a copy writes, instead of leaving everything
// it wrote in the page cache for later: every few megabytes written, the
// system is asked to start writing them out, without waiting for it. The
// write-back that would follow the copy runs beside it instead, and a large
// file never fills the cache with dirty pages that hold up its writer.
class WriteBehind {
 public:
  static constexpr std::uint64_t kChunk = 8u << 20;

  // Follows the writes into `file` that start at `offset`.
  WriteBehind(const File& file, std::uint64_t offset) : file_(file), started_(offset) {}
  // Starts what is left.
  ~WriteBehind();
  WriteBehind(const WriteBehind&) = delete;
  WriteBehind& operator=(const WriteBehind&) = delete;

  // Everything up to `end` has been written.
  void Wrote(std::uint64_t end);

 private:
  void Start(std::uint64_t end) noexcept;

  const File& file_;
  std::uint64_t started_;  // the write-back is asked for up to here
  std::uint64_t written_ = started_;
};

}  // namespace parcelo
