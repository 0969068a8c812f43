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

int Fd(Handle handle) { return static_cast<int>(handle.value()); }

// The result of a call that gives -1 and errno on failure.
int Result(long long result) { return result < 0 ? errno : 0; }

FileStatus StatusFrom(const struct stat& status) {
  FileStatus result;
  if (S_ISREG(status.st_mode)) {
    result.kind = FileStatus::Kind::Regular;
  } else if (S_ISDIR(status.st_mode)) {
    result.kind = FileStatus::Kind::Folder;
  } else if (S_ISLNK(status.st_mode)) {
    result.kind = FileStatus::Kind::SymbolicLink;
  }
  result.device = static_cast<std::uint64_t>(status.st_dev);
  result.inode = static_cast<std::uint64_t>(status.st_ino);
  result.size = status.st_size > 0 ? static_cast<std::uint64_t>(status.st_size) : 0;
  result.mode = static_cast<std::uint32_t>(status.st_mode & 07777);
  result.owner = static_cast<std::uint32_t>(status.st_uid);
  result.group = static_cast<std::uint32_t>(status.st_gid);
  result.blockSize = status.st_blksize > 0 ? static_cast<std::uint32_t>(status.st_blksize) : 0;
  result.modified =
      static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
  result.allocated = status.st_blocks > 0 ? static_cast<std::uint64_t>(status.st_blocks) * 512 : 0;
  return result;
}

// The folder a name is taken in: the open one, or the current one.
int FolderFd(Handle folder) { return folder.valid() ? Fd(folder) : AT_FDCWD; }

int FlagsOf(const OpenOptions& options) {
  using Access = OpenOptions::Access;
  using Creation = OpenOptions::Creation;
  int flags = options.access == Access::Read    ? O_RDONLY
              : options.access == Access::Write ? O_WRONLY
                                                : O_RDWR;
  flags |= O_CLOEXEC;
  if (options.folder) flags |= O_DIRECTORY;
  if (options.noFollow) flags |= O_NOFOLLOW;
  switch (options.creation) {
    case Creation::OpenExisting: flags |= O_NONBLOCK | O_NOCTTY; break;
    case Creation::CreateExclusive: flags |= O_CREAT | O_EXCL; break;
    case Creation::CreateUnnamed:
#ifdef O_TMPFILE
      flags |= O_TMPFILE;
      break;
#else
      return -1;
#endif
  }
  return flags;
}

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
long LockHolderIn(const std::string& locks, const FileStatus& file) {
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

int SysCalls::Open(Handle folder, const char* name, const OpenOptions& options, Handle* opened) {
  const int flags = FlagsOf(options);
  if (flags < 0) return EOPNOTSUPP;  // no unnamed files here
  const int fd = ::openat(FolderFd(folder), name, flags, options.mode);
  if (fd < 0) return errno;
  // Opened without blocking, so that a FIFO does not wait for a writer;
  // what is read from then blocks as usual.
  if ((flags & O_NONBLOCK) && !options.folder &&
      ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
    const int error = errno;
    ::close(fd);
    return error;
  }
  *opened = Handle(fd);
  return 0;
}

int SysCalls::Close(Handle handle) { return Result(::close(Fd(handle))); }

int SysCalls::ReadAt(Handle file, void* buffer, std::size_t count, std::uint64_t offset,
                     std::size_t* done) {
  const ssize_t got = ::pread(Fd(file), buffer, count, static_cast<off_t>(offset));
  if (got < 0) return errno;
  *done = static_cast<std::size_t>(got);
  return 0;
}

int SysCalls::WriteAt(Handle file, const void* buffer, std::size_t count, std::uint64_t offset,
                      std::size_t* done) {
  const ssize_t wrote = ::pwrite(Fd(file), buffer, count, static_cast<off_t>(offset));
  if (wrote < 0) return errno;
  *done = static_cast<std::size_t>(wrote);
  return 0;
}

int SysCalls::Status(Handle handle, FileStatus* status) {
  struct stat raw {};
  if (::fstat(Fd(handle), &raw) != 0) return errno;
  *status = StatusFrom(raw);
  return 0;
}

int SysCalls::EntryStatus(Handle folder, const char* name, FileStatus* status) {
  struct stat raw {};
  if (::fstatat(FolderFd(folder), name, &raw, AT_SYMLINK_NOFOLLOW) != 0) return errno;
  *status = StatusFrom(raw);
  return 0;
}

int SysCalls::CheckWritable(Handle folder, const char* name) {
  return Result(::faccessat(FolderFd(folder), name, W_OK, AT_EACCESS));
}

int SysCalls::SetMode(Handle file, std::uint32_t mode) { return Result(::fchmod(Fd(file), mode)); }

int SysCalls::SetOwner(Handle file, std::uint32_t owner, std::uint32_t group) {
  return Result(::fchown(Fd(file), owner, group));
}

int SysCalls::SetSize(Handle file, std::uint64_t length) {
  return Result(::ftruncate(Fd(file), static_cast<off_t>(length)));
}

int SysCalls::StartWriteBack(Handle file, std::uint64_t offset, std::uint64_t count) {
#ifdef __linux__
  return Result(::sync_file_range(Fd(file), static_cast<off_t>(offset), static_cast<off_t>(count),
                                  SYNC_FILE_RANGE_WRITE));
#else
  (void)file, (void)offset, (void)count;
  return 0;
#endif
}

int SysCalls::MakeFolder(Handle folder, const char* name) {
  return Result(::mkdirat(FolderFd(folder), name, 0777));
}

int SysCalls::RemoveFile(Handle folder, const char* name) {
  return Result(::unlinkat(FolderFd(folder), name, 0));
}

int SysCalls::RemoveFolder(Handle folder, const char* name) {
  return Result(::unlinkat(FolderFd(folder), name, AT_REMOVEDIR));
}

int SysCalls::Rename(Handle folder, const char* from, const char* to) {
  return Result(::renameat(FolderFd(folder), from, FolderFd(folder), to));
}

int SysCalls::LinkUnnamed(Handle file, Handle folder, const char* name) {
  const std::string self = "/proc/self/fd/" + std::to_string(Fd(file));
  return Result(::linkat(AT_FDCWD, self.c_str(), FolderFd(folder), name, AT_SYMLINK_FOLLOW));
}

int SysCalls::LinkUnnamedByHandle(Handle file, Handle folder, const char* name) {
#ifdef AT_EMPTY_PATH
  return Result(::linkat(Fd(file), "", FolderFd(folder), name, AT_EMPTY_PATH));
#else
  (void)file, (void)folder, (void)name;
  return ENOENT;
#endif
}

int SysCalls::Lock(Handle handle, LockMode mode, bool wait, Handle* lock) {
  *lock = Handle();  // the lock goes with the handle
  const int operation = (mode == LockMode::Shared ? LOCK_SH : LOCK_EX) | (wait ? 0 : LOCK_NB);
  return Result(::flock(Fd(handle), operation));
}

int SysCalls::Unlock(Handle handle, Handle) { return Result(::flock(Fd(handle), LOCK_UN)); }

int SysCalls::FindLockHolder(Handle handle, LockHolder* holder) {
#ifdef __linux__
  struct stat raw {};
  std::string locks;
  if (::fstat(Fd(handle), &raw) != 0 || !ReadSystemFile("/proc/locks", &locks)) return errno;
  const long process = LockHolderIn(locks, StatusFrom(raw));
  if (process <= 0) return ENOENT;  // none, or one outside this process's view (-1)
  const std::string entry = "/proc/" + std::to_string(process);
  std::string name;
  if (::stat(entry.c_str(), &raw) != 0 || !ReadSystemFile(entry + "/comm", &name)) return errno;
  if (!name.empty() && name.back() == '\n') name.pop_back();
  holder->name = name;
  holder->user = static_cast<std::uint32_t>(raw.st_uid);
  holder->thisProcess = process == ::getpid();
  return 0;
#else
  (void)handle, (void)holder;
  return ENOENT;
#endif
}

int SysCalls::ReadNames(Handle folder, std::vector<std::string>* names) {
  const int copy = ::fcntl(Fd(folder), F_DUPFD_CLOEXEC, 0);
  if (copy < 0) return errno;
  DIR* entries = ::fdopendir(copy);
  if (!entries) {
    const int error = errno;
    ::close(copy);
    return error;
  }
  ::rewinddir(entries);
  errno = 0;
  while (const dirent* entry = ::readdir(entries)) {
    if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) {
      names->emplace_back(entry->d_name);
    }
    errno = 0;
  }
  const int error = errno;
  ::closedir(entries);
  return error;
}

int SysCalls::CloneRange(Handle from, std::uint64_t fromOffset, Handle to, std::uint64_t toOffset,
                         std::uint64_t count) {
#if defined(__linux__) && defined(FICLONERANGE)
  struct file_clone_range range {};
  range.src_fd = Fd(from);
  range.src_offset = fromOffset;
  range.src_length = count;
  range.dest_offset = toOffset;
  return Result(::ioctl(Fd(to), FICLONERANGE, &range));
#else
  (void)from, (void)fromOffset, (void)to, (void)toOffset, (void)count;
  return EOPNOTSUPP;
#endif
}

int SysCalls::SeekData(Handle file, std::uint64_t offset, std::uint64_t* at) {
  const off_t found = ::lseek(Fd(file), static_cast<off_t>(offset), SEEK_DATA);
  if (found < 0) return errno;
  *at = static_cast<std::uint64_t>(found);
  return 0;
}

int SysCalls::SeekHole(Handle file, std::uint64_t offset, std::uint64_t* at) {
  const off_t found = ::lseek(Fd(file), static_cast<off_t>(offset), SEEK_HOLE);
  if (found < 0) return errno;
  *at = static_cast<std::uint64_t>(found);
  return 0;
}

int SysCalls::FreeSpace(Handle folder, std::uint64_t* bytes) {
  struct statvfs room {};
  if (::fstatvfs(Fd(folder), &room) != 0) return errno;
  *bytes = static_cast<std::uint64_t>(room.f_bavail) * room.f_frsize;
  return 0;
}

int SysCalls::LargestFile(Handle folder, std::uint64_t* bytes) {
  *bytes = UINT64_MAX;
#ifdef __linux__
  struct statfs system {};
  if (::fstatfs(Fd(folder), &system) != 0) return errno;
  // FAT keeps a file's length in 32 bits.
  if (system.f_type == MSDOS_SUPER_MAGIC) *bytes = 0xFFFFFFFFu;
#else
  (void)folder;
#endif
  return 0;
}

std::uint32_t SysCalls::CreationMask() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return mask;
}

std::uint32_t SysCalls::EffectiveUser() { return static_cast<std::uint32_t>(::geteuid()); }

int SysCalls::GetOpenFileLimit(std::uint64_t* soft, std::uint64_t* hard) {
  rlimit limit{};
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) return errno;
  *soft = limit.rlim_cur;
  *hard = limit.rlim_max;
  return 0;
}

int SysCalls::SetOpenFileLimit(std::uint64_t soft) {
  rlimit limit{};
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) return errno;
  limit.rlim_cur = static_cast<rlim_t>(soft);
  return Result(::setrlimit(RLIMIT_NOFILE, &limit));
}

}  // namespace parcelo
