#include "io/descriptor.h"

#include "io/sys_calls.h"

namespace parcelo {

void Descriptor::CloseQuietly() noexcept {
  if (fd_ >= 0) Sys().Close(std::exchange(fd_, -1));
}

}  // namespace parcelo
