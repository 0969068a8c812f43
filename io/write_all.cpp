#include "io/write_all.h"

#include <cerrno>

#include "io/file.h"
#include "io/file_error.h"
#include "io/sys_calls.h"

namespace parcelo {

void WriteAll(const File& file, const char* data, std::size_t count, std::uint64_t offset) {
  while (count > 0) {
    std::size_t wrote = 0;
    if (const int error = Sys().WriteAt(file.handle(), data, count, offset, &wrote)) {
      if (error == EINTR) continue;
      throw FileError(error, FileOperation::Write, file.path());
    }
    if (wrote == 0) throw FileError(ENOSPC, FileOperation::Write, file.path());
    data += wrote;
    offset += wrote;
    count -= wrote;
  }
}

}  // namespace parcelo
