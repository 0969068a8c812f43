#include "io/sys_calls.h"

namespace parcelo {
namespace {

SysCalls& SystemLayer() {
  static SysCalls layer;
  return layer;
}

SysCalls* current = nullptr;

}  // namespace

SysCalls& Sys() { return current ? *current : SystemLayer(); }

ScopedSysCalls::ScopedSysCalls(SysCalls& replacement) : previous_(current) {
  current = &replacement;
}

ScopedSysCalls::~ScopedSysCalls() { current = previous_; }

}  // namespace parcelo
