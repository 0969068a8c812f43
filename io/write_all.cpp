#include "io/write_all.h"

#include <cerrno>

#include "io/file.h"
#include "io/file_error.h"
#include "io/sys_calls.h"

namespace parcelo {

void WriteAll(const File& file, const char* data, std::size_t count, std::uint64_t offset) {
  while (count > 0) {
    const ssize_t wrote = Sys().Pwrite(file.fd(), data, count, offset);
    if (wrote < 0) {
      if (errno == EINTR) continue;
      throw FileError(errno, FileOperation::Write, file.path());
    }
    if (wrote == 0) throw FileError(ENOSPC, FileOperation::Write, file.path());
    data += wrote;
    offset += static_cast<std::uint64_t>(wrote);
    count -= static_cast<std::size_t>(wrote);
  }
}

}  // namespace parcelo
