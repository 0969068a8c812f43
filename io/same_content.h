#pragma once

#include <cstdint>
#include <functional>

namespace parcelo {

class File;

// Told the bytes compared after every chunk; it may throw to stop there.
using Compared = std::function<void(std::uint64_t bytes)>;

// True when two open files hold the same bytes: the same length, then
// equal chunk by chunk, read through two buffers of fixed size from the
// start (holes read as zero bytes). Stops at the first difference. Both
// files must be open for reading; throws FileError naming the file a read
// failed on, kUnexpectedEnd when one ends before its length.
bool SameContent(const File& one, const File& other, const Compared& compared = {});

}  // namespace parcelo
