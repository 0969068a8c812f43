#pragma once

// A system-call layer for tests that interrupts, shortens and fails calls
// on demand, passing everything else to the real system.

#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>

#include "io/sys_calls.h"

namespace parcelo::testing {

struct FaultySysCalls : SysCalls {
  bool interrupt = false;             // every other read and write fails with EINTR
  std::size_t maxBytesPerCall = 0;    // reads and writes move at most this (0: no limit)
  int writeError = 0;                 // writes fail so once writeErrorAfter bytes went out;
  std::uint64_t writeErrorAfter = 0;  // 0 as the error: a write that moves nothing instead
  std::string openErrorName;          // opening an entry of this name fails with EACCES
  int closeError = 0;                 // closing a file that was written fails so
  int unnamedError = 0;               // unnamed temporaries (O_TMPFILE) fail so
  int takenNames = 0;                 // so many temporary names in a row are taken (EEXIST)
  // A call of this name fails so; block sharing is refused unless erased, then shown by copying
  // the bytes, after which `shared` sees the source and the count.
  std::map<std::string, int> errors{{"CloneRange", EOPNOTSUPP}};
  std::function<void(int from, std::uint64_t count)> shared;
  std::map<std::string, int> calls;  // how often each call was made
  // What the target's file system tells of its room, else the real figure.
  std::optional<std::uint64_t> freeSpace, largestFile;

  std::uint64_t written = 0, read = 0;
  int interruptedCalls = 0;

  // A disk that is full once `after` bytes went out, writes moving `perCall` bytes at most.
  static FaultySysCalls FullDisk(std::uint64_t after, std::size_t perCall = 0, int error = ENOSPC) {
    FaultySysCalls full;
    full.writeError = error, full.writeErrorAfter = after, full.maxBytesPerCall = perCall;
    return full;
  }

  int OpenAt(int folderFd, const char* name, int flags, std::uint32_t mode) override {
    if (openErrorName == name) return Fail(EACCES);
#ifdef O_TMPFILE
    if ((flags & O_TMPFILE) == O_TMPFILE && unnamedError) return Fail(unnamedError);
#endif
    if ((flags & O_EXCL) && takenNames > 0) return --takenNames, Fail(EEXIST);
    return SysCalls::OpenAt(folderFd, name, flags, mode);
  }
  ssize_t Pread(int fd, void* buffer, std::size_t count, std::uint64_t offset) override {
    if (Interrupt()) return -1;
    const ssize_t got = SysCalls::Pread(fd, buffer, Limit(count), offset);
    if (got > 0) read += static_cast<std::uint64_t>(got);
    return got;
  }
  ssize_t Pwrite(int fd, const void* buffer, std::size_t count, std::uint64_t offset) override {
    if (Interrupt()) return -1;
    writtenFds_.insert(fd);
    if (writeErrorAfter && written >= writeErrorAfter) return writeError ? Fail(writeError) : (errno = 0);
    const ssize_t wrote = SysCalls::Pwrite(fd, buffer, Limit(count), offset);
    if (wrote > 0) written += static_cast<std::uint64_t>(wrote);
    return wrote;
  }
  int Close(int fd) override {
    const bool wasWritten = writtenFds_.erase(fd) > 0;
    const int result = Pass("Close", [&] { return SysCalls::Close(fd); });
    return wasWritten && closeError ? Fail(closeError) : result;
  }
  // The rest fail as `errors` says (a link also as `takenNames` does), else pass through.
#define PARCELO_PASS(Result, Call, Parameters, Arguments)         \
  Result Call Parameters override {                               \
    return Pass(#Call, [&] { return SysCalls::Call Arguments; }); \
  }
  PARCELO_PASS(int, LinkUnnamed, (int fd, int d, const char* n), (fd, d, n))
  PARCELO_PASS(int, LinkUnnamedByDescriptor, (int fd, int d, const char* n), (fd, d, n))
  PARCELO_PASS(int, LstatAt, (int d, const char* n, FileStatus* s), (d, n, s))
  PARCELO_PASS(int, Fchmod, (int fd, std::uint32_t mode), (fd, mode))
  PARCELO_PASS(int, SetFlags, (int fd, int flags), (fd, flags))
  PARCELO_PASS(int, MkdirAt, (int d, const char* n, std::uint32_t m), (d, n, m))
  PARCELO_PASS(int, UnlinkAt, (int d, const char* n, int f), (d, n, f))
  PARCELO_PASS(int, ReadNames, (int d, std::vector<std::string>* n), (d, n))
  PARCELO_PASS(int, FlockHolder, (int fd, LockHolder* holder), (fd, holder))
  PARCELO_PASS(int, RenameAt, (int d, const char* from, const char* to), (d, from, to))
  PARCELO_PASS(std::int64_t, SeekData, (int fd, std::uint64_t offset), (fd, offset))
  PARCELO_PASS(std::int64_t, SeekHole, (int fd, std::uint64_t offset), (fd, offset))
#undef PARCELO_PASS
  int CloneRange(int from, std::uint64_t at, int to, std::uint64_t toAt, std::uint64_t count) override {
    return Pass("CloneRange", [&] {
      std::string bytes(count, '\0');
      const ssize_t got = SysCalls::Pread(from, bytes.data(), count, at);
      if (got < 0 || SysCalls::Pwrite(to, bytes.data(), static_cast<std::size_t>(got), toAt) < 0) return -1;
      if (shared) shared(from, count);
      return 0;
    });
  }
  int FreeSpace(int fd, std::uint64_t* bytes) override {
    return Pass("FreeSpace", [&] { return freeSpace ? (*bytes = *freeSpace, 0) : SysCalls::FreeSpace(fd, bytes); });
  }
  int LargestFile(int fd, std::uint64_t* bytes) override {
    return Pass("LargestFile",
                [&] { return largestFile ? (*bytes = *largestFile, 0) : SysCalls::LargestFile(fd, bytes); });
  }

 private:
  static int Fail(int error) { return errno = error, -1; }
  template <typename Real>
  auto Pass(const std::string& call, Real real) -> decltype(real()) {
    if (call.starts_with("LinkUnnamed") && takenNames > 0) return --takenNames, Fail(EEXIST);
    ++calls[call];
    const auto error = errors.find(call);
    return error == errors.end() ? real() : Fail(error->second);
  }
  bool Interrupt() { return interrupt && (toggle_ = !toggle_) && (++interruptedCalls, (errno = EINTR) != 0); }
  std::size_t Limit(std::size_t count) const { return maxBytesPerCall ? std::min(count, maxBytesPerCall) : count; }
  bool toggle_ = false;
  std::set<int> writtenFds_;
};

}  // namespace parcelo::testing
