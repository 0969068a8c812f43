#include "io/same_content.h"

#include <cstring>
#include <memory>

#include "io/file.h"
#include "io/file_error.h"

namespace parcelo {
namespace {

constexpr std::size_t kChunk = 1u << 18;

// Fills `buffer` with `count` bytes at `offset`; a file that ends first
// has changed under us (kUnexpectedEnd).
void ReadFully(const File& file, char* buffer, std::size_t count, std::uint64_t offset) {
  for (std::size_t filled = 0; filled < count;) {
    const std::size_t got = file.ReadAt(buffer + filled, count - filled, offset + filled);
    if (got == 0) throw FileError(kUnexpectedEnd, FileOperation::Read, file.path());
    filled += got;
  }
}

}  // namespace

bool SameContent(const File& one, const File& other, const Compared& compared) {
  const std::uint64_t size = one.Size();
  if (other.Size() != size) return false;
  const auto buffers = std::make_unique<char[]>(2 * kChunk);
  char* const mine = buffers.get();
  char* const theirs = mine + kChunk;
  for (std::uint64_t offset = 0; offset < size;) {
    const std::size_t count =
        static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, size - offset));
    ReadFully(one, mine, count, offset);
    ReadFully(other, theirs, count, offset);
    if (std::memcmp(mine, theirs, count) != 0) return false;
    offset += count;
    if (compared) compared(count);
  }
  return true;
}

}  // namespace parcelo
