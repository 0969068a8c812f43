#include "io/sys_calls.h"

namespace parcelo {
namespace {

SysCalls& SystemLayer() {
  static SysCalls layer;
  return layer;
}

SysCalls* current = nullptr;
std::uint64_t generation = 0;

}  // namespace

SysCalls& Sys() { return current ? *current : SystemLayer(); }

std::uint64_t SysCallsGeneration() { return generation; }

ScopedSysCalls::ScopedSysCalls(SysCalls& replacement) : previous_(current) {
  current = &replacement;
  ++generation;
}

ScopedSysCalls::~ScopedSysCalls() {
  current = previous_;
  ++generation;
}

}  // namespace parcelo
