#pragma once

#include <cstdint>

namespace parcelo {

// Raises the process's soft limit of open descriptors to `wanted`, or as
// near as its hard limit allows, where it is lower; never lowers it.
// Returns the limit now in force (the soft limit as it was when it can't
// be read or set). Windows has no such limit: there it changes nothing and
// returns the largest number.
std::uint64_t RaiseOpenFileLimit(std::uint64_t wanted);

}  // namespace parcelo
