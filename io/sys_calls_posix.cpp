#include "io/sys_calls.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#ifdef __linux__
#include <linux/fs.h>
#include <linux/magic.h>
#include <sys/ioctl.h>
#include <sys/vfs.h>
#endif

// The system-call layer of Linux and other POSIX systems.

namespace parcelo {

int SysCalls::OpenAt(int folderFd, const char* name, int flags, std::uint32_t mode) {
  return ::openat(folderFd, name, flags | O_CLOEXEC, mode);
}

ssize_t SysCalls::Pread(int fd, void* buffer, std::size_t count, std::uint64_t offset) {
  return ::pread(fd, buffer, count, static_cast<off_t>(offset));
}

ssize_t SysCalls::Pwrite(int fd, const void* buffer, std::size_t count, std::uint64_t offset) {
  return ::pwrite(fd, buffer, count, static_cast<off_t>(offset));
}

int SysCalls::Close(int fd) { return ::close(fd); }

int SysCalls::Fstat(int fd, FileStatus* status) {
  struct stat raw {};
  if (::fstat(fd, &raw) != 0) return -1;
  *status = FileStatus::From(raw);
  return 0;
}

int SysCalls::LstatAt(int folderFd, const char* name, FileStatus* status) {
  struct stat raw {};
  if (::fstatat(folderFd, name, &raw, AT_SYMLINK_NOFOLLOW) != 0) return -1;
  *status = FileStatus::From(raw);
  return 0;
}

int SysCalls::AccessAt(int folderFd, const char* name, int mode) {
  return ::faccessat(folderFd, name, mode, AT_EACCESS);
}

int SysCalls::Fchmod(int fd, std::uint32_t mode) { return ::fchmod(fd, mode); }

int SysCalls::Fchown(int fd, std::uint32_t owner, std::uint32_t group) {
  return ::fchown(fd, owner, group);
}

int SysCalls::SetFlags(int fd, int flags) { return ::fcntl(fd, F_SETFL, flags); }

int SysCalls::GetFlags(int fd) { return ::fcntl(fd, F_GETFL); }

int SysCalls::MkdirAt(int folderFd, const char* name, std::uint32_t mode) {
  return ::mkdirat(folderFd, name, mode);
}

int SysCalls::UnlinkAt(int folderFd, const char* name, int flags) {
  return ::unlinkat(folderFd, name, flags);
}

int SysCalls::RenameAt(int folderFd, const char* from, const char* to) {
  return ::renameat(folderFd, from, folderFd, to);
}

int SysCalls::LinkUnnamed(int fd, int folderFd, const char* name) {
  // Linking by descriptor (AT_EMPTY_PATH) needs a privilege; the file's
  // entry under /proc does not.
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  return ::linkat(AT_FDCWD, self.c_str(), folderFd, name, AT_SYMLINK_FOLLOW);
}

int SysCalls::Flock(int fd, int operation) { return ::flock(fd, operation); }

int SysCalls::ReadNames(int folderFd, std::vector<std::string>* names) {
  const int copy = ::fcntl(folderFd, F_DUPFD_CLOEXEC, 0);
  if (copy < 0) return -1;
  DIR* folder = ::fdopendir(copy);
  if (!folder) {
    const int error = errno;
    ::close(copy);
    errno = error;
    return -1;
  }
  ::rewinddir(folder);
  errno = 0;
  while (const dirent* entry = ::readdir(folder)) {
    if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) {
      names->emplace_back(entry->d_name);
    }
    errno = 0;
  }
  const int error = errno;
  ::closedir(folder);
  errno = error;
  return error ? -1 : 0;
}

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

std::int64_t SysCalls::SeekData(int fd, std::uint64_t offset) {
  return ::lseek(fd, static_cast<off_t>(offset), SEEK_DATA);
}

std::int64_t SysCalls::SeekHole(int fd, std::uint64_t offset) {
  return ::lseek(fd, static_cast<off_t>(offset), SEEK_HOLE);
}

int SysCalls::Ftruncate(int fd, std::uint64_t length) {
  return ::ftruncate(fd, static_cast<off_t>(length));
}

int SysCalls::FreeSpace(int folderFd, std::uint64_t* bytes) {
  struct statvfs room {};
  if (::fstatvfs(folderFd, &room) != 0) return -1;
  *bytes = static_cast<std::uint64_t>(room.f_bavail) * room.f_frsize;
  return 0;
}

int SysCalls::LargestFile(int folderFd, std::uint64_t* bytes) {
  *bytes = UINT64_MAX;
#ifdef __linux__
  struct statfs system {};
  if (::fstatfs(folderFd, &system) != 0) return -1;
  // FAT keeps a file's length in 32 bits.
  if (system.f_type == MSDOS_SUPER_MAGIC) *bytes = 0xFFFFFFFFu;
#else
  (void)folderFd;
#endif
  return 0;
}

std::uint32_t SysCalls::Umask() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return mask;
}

int SysCalls::GetOpenFileLimit(std::uint64_t* soft, std::uint64_t* hard) {
  rlimit limit{};
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) return -1;
  *soft = limit.rlim_cur;
  *hard = limit.rlim_max;
  return 0;
}

int SysCalls::SetOpenFileLimit(std::uint64_t soft) {
  rlimit limit{};
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) return -1;
  limit.rlim_cur = static_cast<rlim_t>(soft);
  return ::setrlimit(RLIMIT_NOFILE, &limit);
}

}  // namespace parcelo
