#pragma once

// A system-call layer for tests that interrupts, shortens and fails calls
// on demand, passing everything else to the real system.

#include <cerrno>
#include <cstdint>
#include <string>

#include "io/sys_calls.h"

namespace parcelo::testing {

class FaultySysCalls : public SysCalls {
 public:
  // Every other read and write is interrupted (EINTR) before it moves a byte.
  bool interrupt = false;
  // Writes and reads move at most this many bytes at a time (0: no limit).
  std::size_t maxBytesPerCall = 0;
  // Writes fail with this errno once this many bytes were written in all.
  int writeError = 0;
  std::uint64_t writeErrorAfter = 0;
  // A write that moves nothing and reports no error, once this many bytes
  // were written in all (0: never).
  std::uint64_t zeroWriteAfter = 0;
  // Opening a path that ends with this text fails with openError.
  std::string openErrorSuffix;
  int openError = EACCES;
  // Renames fail with this errno.
  int renameError = 0;
  // Block sharing is refused with this errno (0: passed to the system).
  int cloneError = EOPNOTSUPP;

  std::uint64_t written = 0;
  int interruptedCalls = 0;

  int Open(const char* path, int flags, mode_t mode) override {
    const std::string text = path;
    if (!openErrorSuffix.empty() && text.size() >= openErrorSuffix.size() &&
        text.compare(text.size() - openErrorSuffix.size(), openErrorSuffix.size(), openErrorSuffix) == 0) {
      errno = openError;
      return -1;
    }
    return SysCalls::Open(path, flags, mode);
  }

  ssize_t Pread(int fd, void* buffer, std::size_t count, std::uint64_t offset) override {
    if (Interrupt()) return -1;
    return SysCalls::Pread(fd, buffer, Limit(count), offset);
  }

  ssize_t Pwrite(int fd, const void* buffer, std::size_t count, std::uint64_t offset) override {
    if (Interrupt()) return -1;
    if (writeError && written >= writeErrorAfter) {
      errno = writeError;
      return -1;
    }
    if (zeroWriteAfter && written >= zeroWriteAfter) return 0;
    const ssize_t wrote = SysCalls::Pwrite(fd, buffer, Limit(count), offset);
    if (wrote > 0) written += static_cast<std::uint64_t>(wrote);
    return wrote;
  }

  int Rename(const char* from, const char* to) override {
    if (renameError) {
      errno = renameError;
      return -1;
    }
    return SysCalls::Rename(from, to);
  }

  int CloneRange(int fromFd, std::uint64_t fromOffset, int toFd, std::uint64_t toOffset,
                 std::uint64_t count) override {
    if (cloneError) {
      errno = cloneError;
      return -1;
    }
    return SysCalls::CloneRange(fromFd, fromOffset, toFd, toOffset, count);
  }

 private:
  bool Interrupt() {
    if (!interrupt || (toggle_ = !toggle_) == false) return false;
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
