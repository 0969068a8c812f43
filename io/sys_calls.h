#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <cstdint>

namespace parcelo {

// The thin layer over the system calls that the file layer makes. Each
// method behaves as the call it is named after: -1 and errno on failure.
// Tests put a stand-in in place to force EINTR, short writes and ENOSPC.
class SysCalls {
 public:
  virtual ~SysCalls() = default;
  virtual int Open(const char* path, int flags, mode_t mode);
  virtual ssize_t Pread(int fd, void* buffer, std::size_t count, std::uint64_t offset);
  virtual ssize_t Pwrite(int fd, const void* buffer, std::size_t count, std::uint64_t offset);
  virtual int Close(int fd);
  virtual int Fstat(int fd, struct stat* status);
  virtual int Fchmod(int fd, mode_t mode);
  virtual int Stat(const char* path, struct stat* status);
  virtual int Mkdir(const char* path, mode_t mode);
  virtual int Rename(const char* from, const char* to);
  virtual int Unlink(const char* path);
  // Shares a range of one file's blocks with another (copy on write); fails
  // with EOPNOTSUPP, EXDEV or EINVAL where the file system can't.
  virtual int CloneRange(int fromFd, std::uint64_t fromOffset, int toFd, std::uint64_t toOffset,
                         std::uint64_t count);
};

// Returns the layer in use.
SysCalls& Sys();

// Puts a stand-in layer in place for as long as it lives (tests only).
class ScopedSysCalls {
 public:
  explicit ScopedSysCalls(SysCalls& replacement);
  ~ScopedSysCalls();
  ScopedSysCalls(const ScopedSysCalls&) = delete;
  ScopedSysCalls& operator=(const ScopedSysCalls&) = delete;

 private:
  SysCalls* previous_;
};

}  // namespace parcelo
