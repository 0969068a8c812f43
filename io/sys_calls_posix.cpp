#include "io/sys_calls.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>

#ifdef __linux__
#include <linux/fs.h>
#include <linux/magic.h>
#include <sys/ioctl.h>
#include <sys/sysmacros.h>
#include <sys/vfs.h>
#endif

// The system-call layer of Linux and other POSIX systems.

namespace parcelo {
namespace {

// Reads a small file of the system's (under /proc) whole; false and errno
// when it can't.
bool ReadSystemFile(const std::string& path, std::string* text) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  char buffer[4096];
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      const int error = errno;
      ::close(fd);
      errno = error;
      return false;
    }
    if (got == 0 || text->size() > (16u << 20)) break;
    text->append(buffer, static_cast<std::size_t>(got));
  }
  ::close(fd);
  return true;
}

#ifdef __linux__
// The process that /proc/locks names as holding a flock lock on the file
// `file`: lines such as "1: FLOCK  ADVISORY  WRITE 17866 fe:00:10953216 0
// EOF", where waiters' lines carry "->" and are passed over. Some file
// systems (btrfs subvolumes) report another device in stat than there, so
// the inode alone is taken where no line names both. 0 when none is listed.
long FlockHolderIn(const std::string& locks, const FileStatus& file) {
  char device[32];
  std::snprintf(device, sizeof device, "%02x:%02x:", major(file.device), minor(file.device));
  const std::string inode = std::to_string(file.inode);
  std::istringstream lines(locks);
  std::string line;
  long sameInode = 0;
  while (std::getline(lines, line)) {
    std::istringstream words(line);
    std::string number, kind, strength, access, where;
    long process = 0;
    if (!(words >> number >> kind >> strength >> access >> process >> where) || kind != "FLOCK") {
      continue;
    }
    const std::size_t colon = where.rfind(':');
    if (colon == std::string::npos || where.compare(colon + 1, std::string::npos, inode) != 0) {
      continue;
    }
    if (where.compare(0, colon + 1, device) == 0) return process;
    if (sameInode == 0) sameInode = process;
  }
  return sameInode;
}
#endif

}  // namespace

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
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  return ::linkat(AT_FDCWD, self.c_str(), folderFd, name, AT_SYMLINK_FOLLOW);
}

int SysCalls::LinkUnnamedByDescriptor(int fd, int folderFd, const char* name) {
#ifdef AT_EMPTY_PATH
  return ::linkat(fd, "", folderFd, name, AT_EMPTY_PATH);
#else
  (void)fd, (void)folderFd, (void)name;
  errno = ENOENT;
  return -1;
#endif
}

int SysCalls::Flock(int fd, int operation) { return ::flock(fd, operation); }

int SysCalls::FlockHolder(int fd, LockHolder* holder) {
#ifdef __linux__
  struct stat raw {};
  std::string locks;
  if (::fstat(fd, &raw) != 0 || !ReadSystemFile("/proc/locks", &locks)) return -1;
  const long process = FlockHolderIn(locks, FileStatus::From(raw));
  if (process <= 0) {  // none, or one outside this process's view (-1)
    errno = ENOENT;
    return -1;
  }
  const std::string entry = "/proc/" + std::to_string(process);
  std::string name;
  if (::stat(entry.c_str(), &raw) != 0 || !ReadSystemFile(entry + "/comm", &name)) return -1;
  if (!name.empty() && name.back() == '\n') name.pop_back();
  holder->name = name;
  holder->user = static_cast<std::uint32_t>(raw.st_uid);
  holder->thisProcess = process == ::getpid();
  return 0;
#else
  (void)fd, (void)holder;
  errno = ENOENT;
  return -1;
#endif
}

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

std::uint32_t SysCalls::EffectiveUser() { return static_cast<std::uint32_t>(::geteuid()); }

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
