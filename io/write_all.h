#pragma once

#include <cstddef>
#include <cstdint>

namespace parcelo {

class File;

// Writes all `count` bytes at `offset`: loops on short writes, retries
// interrupted calls, and takes a write that moves no byte for a full disk.
// Throws FileError naming the file.
void WriteAll(const File& file, const char* data, std::size_t count, std::uint64_t offset);

}  // namespace parcelo
