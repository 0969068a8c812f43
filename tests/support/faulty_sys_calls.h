#pragma once

// A system-call layer for tests that interrupts, shortens and fails calls
// on demand, passing everything else to the real system.

#include <cerrno>
#include <cstdint>
#include <string>

#include "io/sys_calls.h"

namespace parcelo::testing {

struct FaultySysCalls : SysCalls {
  bool interrupt = false;            // every other read and write fails with EINTR
  std::size_t maxBytesPerCall = 0;   // reads and writes move at most this (0: no limit)
  int writeError = 0;                // writes fail so once writeErrorAfter bytes went out;
  std::uint64_t writeErrorAfter = 0; // 0 as the error: a write that moves nothing instead
  std::string openErrorSuffix;       // opening a path ending so fails with EACCES
  std::uint64_t written = 0;
  int interruptedCalls = 0;

  int Open(const char* path, int flags, mode_t mode) override {
    const std::string text = path;
    if (!openErrorSuffix.empty() && text.size() >= openErrorSuffix.size() &&
        text.substr(text.size() - openErrorSuffix.size()) == openErrorSuffix) {
      errno = EACCES;
      return -1;
    }
    return SysCalls::Open(path, flags, mode);
  }
  ssize_t Pread(int fd, void* buffer, std::size_t count, std::uint64_t offset) override {
    return Interrupt() ? -1 : SysCalls::Pread(fd, buffer, Limit(count), offset);
  }
  ssize_t Pwrite(int fd, const void* buffer, std::size_t count, std::uint64_t offset) override {
    if (Interrupt()) return -1;
    if (writeErrorAfter && written >= writeErrorAfter) {
      errno = writeError;
      return writeError ? -1 : 0;
    }
    const ssize_t wrote = SysCalls::Pwrite(fd, buffer, Limit(count), offset);
    if (wrote > 0) written += static_cast<std::uint64_t>(wrote);
    return wrote;
  }
  // No block sharing, so the copy through the buffer is what runs.
  int CloneRange(int, std::uint64_t, int, std::uint64_t, std::uint64_t) override {
    errno = EOPNOTSUPP;
    return -1;
  }

 private:
  bool Interrupt() {
    if (!interrupt || !(toggle_ = !toggle_)) return false;
    ++interruptedCalls;
    errno = EINTR;
    return true;
  }
  std::size_t Limit(std::size_t count) const {
    return maxBytesPerCall && count > maxBytesPerCall ? maxBytesPerCall : count;
  }
  bool toggle_ = false;
};

}  // namespace parcelo::testing
