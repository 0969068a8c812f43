#include "io/sys_calls.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#ifdef __linux__
#include <linux/fs.h>
#include <sys/ioctl.h>
#endif

namespace parcelo {
namespace {

SysCalls& SystemLayer() {
  static SysCalls layer;
  return layer;
}

SysCalls* current = nullptr;

}  // namespace

int SysCalls::Open(const char* path, int flags, mode_t mode) {
  return ::open(path, flags | O_CLOEXEC, mode);
}

ssize_t SysCalls::Pread(int fd, void* buffer, std::size_t count, std::uint64_t offset) {
  return ::pread(fd, buffer, count, static_cast<off_t>(offset));
}

ssize_t SysCalls::Pwrite(int fd, const void* buffer, std::size_t count, std::uint64_t offset) {
  return ::pwrite(fd, buffer, count, static_cast<off_t>(offset));
}

int SysCalls::Close(int fd) { return ::close(fd); }

int SysCalls::Fstat(int fd, struct stat* status) { return ::fstat(fd, status); }

int SysCalls::Fchmod(int fd, mode_t mode) { return ::fchmod(fd, mode); }

int SysCalls::Stat(const char* path, struct stat* status) { return ::stat(path, status); }

int SysCalls::Mkdir(const char* path, mode_t mode) { return ::mkdir(path, mode); }

int SysCalls::Rename(const char* from, const char* to) { return std::rename(from, to); }

int SysCalls::Unlink(const char* path) { return ::unlink(path); }

int SysCalls::CloneRange(int fromFd, std::uint64_t fromOffset, int toFd, std::uint64_t toOffset,
                         std::uint64_t count) {
#if defined(__linux__) && defined(FICLONERANGE)
  struct file_clone_range range {};
  range.src_fd = fromFd;
  range.src_offset = fromOffset;
  range.src_length = count;
  range.dest_offset = toOffset;
  return ::ioctl(toFd, FICLONERANGE, &range);
#else
  (void)fromFd, (void)fromOffset, (void)toFd, (void)toOffset, (void)count;
  errno = EOPNOTSUPP;
  return -1;
#endif
}

SysCalls& Sys() { return current ? *current : SystemLayer(); }

ScopedSysCalls::ScopedSysCalls(SysCalls& replacement) : previous_(current) {
  current = &replacement;
}

ScopedSysCalls::~ScopedSysCalls() { current = previous_; }

}  // namespace parcelo
