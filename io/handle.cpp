#include "io/handle.h"

#include "io/sys_calls.h"

namespace parcelo {

void OwnedHandle::CloseQuietly() noexcept {
  if (handle_.valid()) Sys().Close(std::exchange(handle_, Handle()));
}

}  // namespace parcelo
