#include "io/open_file_limit.h"

#include <algorithm>

#include "io/sys_calls.h"

namespace parcelo {

std::uint64_t RaiseOpenFileLimit(std::uint64_t wanted) {
  std::uint64_t soft = 0, hard = 0;
  if (Sys().GetOpenFileLimit(&soft, &hard) != 0) return 0;
  if (soft >= wanted) return soft;
  const std::uint64_t raised = std::min(wanted, hard);
  if (raised <= soft || Sys().SetOpenFileLimit(raised) != 0) return soft;
  return raised;
}

}  // namespace parcelo
