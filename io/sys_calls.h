#pragma once

#include <fcntl.h>
#include <sys/types.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "io/file_status.h"

#ifdef _WIN32
// The POSIX flags the file layer passes that Windows' C library lacks; the
// Windows layer gives them their meaning.
#define O_NONBLOCK 0x100000
#define O_NOCTTY 0
#define O_DIRECTORY 0x200000
#define O_NOFOLLOW 0x400000
#define AT_FDCWD (-100)
#define AT_REMOVEDIR 0x200
#define LOCK_SH 1
#define LOCK_EX 2
#define LOCK_NB 4
#define LOCK_UN 8
#ifndef W_OK
#define W_OK 2
#endif
#endif

namespace parcelo {

// The process that holds a lock on a file, as far as the system tells.
struct LockHolder {
  std::string name;        // as the system keeps it, perhaps shortened ("parcelo-cli")
  std::uint32_t user = 0;  // its effective user
  bool thisProcess = false;
};

// The thin layer over the system calls that the file layer makes. Each
// method behaves as the call it is named after: -1 and errno on failure.
// Tests put a stand-in in place to force EINTR, short writes, ENOSPC and
// failing closes and renames. Statuses come as FileStatus, whose sizes and
// identities are 64 bits wide on every system. On Windows the same calls
// are made of Win32 ones (sys_calls_windows.cpp), with errno values of
// their own for what has no POSIX number (kFileInUse, kInvalidName).
class SysCalls {
 public:
  virtual ~SysCalls() = default;
  virtual int OpenAt(int folderFd, const char* name, int flags, std::uint32_t mode);
  virtual ssize_t Pread(int fd, void* buffer, std::size_t count, std::uint64_t offset);
  virtual ssize_t Pwrite(int fd, const void* buffer, std::size_t count, std::uint64_t offset);
  virtual int Close(int fd);
  virtual int Fstat(int fd, FileStatus* status);
  // fstatat without following a symbolic link at the end.
  virtual int LstatAt(int folderFd, const char* name, FileStatus* status);
  virtual int AccessAt(int folderFd, const char* name, int mode);
  virtual int Fchmod(int fd, std::uint32_t mode);
  virtual int Fchown(int fd, std::uint32_t owner, std::uint32_t group);
  virtual int SetFlags(int fd, int flags);  // fcntl F_SETFL
  virtual int GetFlags(int fd);             // fcntl F_GETFL
  virtual int MkdirAt(int folderFd, const char* name, std::uint32_t mode);
  virtual int UnlinkAt(int folderFd, const char* name, int flags);
  virtual int RenameAt(int folderFd, const char* from, const char* to);
  // Gives an unnamed file (O_TMPFILE) the name `name` in `folderFd`
  // through its entry in /proc/self/fd: ENOENT where /proc is not mounted.
  virtual int LinkUnnamed(int fd, int folderFd, const char* name);
  // The same by the descriptor itself (linkat with AT_EMPTY_PATH), which
  // needs no /proc but a privilege (CAP_DAC_READ_SEARCH): ENOENT without it.
  virtual int LinkUnnamedByDescriptor(int fd, int folderFd, const char* name);
  virtual int Flock(int fd, int operation);
  // Finds who holds the flock lock on the open file `fd` (on Linux from
  // /proc/locks); ENOENT where the system does not tell or names no one.
  virtual int FlockHolder(int fd, LockHolder* holder);
  // Appends the names of a folder's entries, "." and ".." left out.
  virtual int ReadNames(int folderFd, std::vector<std::string>* names);
  // Shares a range of one file's blocks with another (copy on write); fails
  // with EOPNOTSUPP, EXDEV or EINVAL where the file system can't.
  virtual int CloneRange(int fromFd, std::uint64_t fromOffset, int toFd, std::uint64_t toOffset,
                         std::uint64_t count);
  // lseek with SEEK_DATA and SEEK_HOLE: the start of the first data, or of
  // the first hole, at or after `offset`. The end of a file counts as a
  // hole; ENXIO at or past the end, and for SEEK_DATA in a hole that runs
  // to the end. A file system without hole information reports the whole
  // file as data.
  virtual std::int64_t SeekData(int fd, std::uint64_t offset);
  virtual std::int64_t SeekHole(int fd, std::uint64_t offset);
  virtual int Ftruncate(int fd, std::uint64_t length);
  // The bytes free for the runner on the file system of an open folder
  // (statvfs: f_bavail times f_frsize).
  virtual int FreeSpace(int folderFd, std::uint64_t* bytes);
  // The largest file the file system of an open folder can hold: 4 GiB - 1
  // byte on FAT, UINT64_MAX where it sets no limit of its own.
  virtual int LargestFile(int folderFd, std::uint64_t* bytes);
  virtual std::uint32_t Umask();          // the process's file creation mask, left unchanged
  virtual std::uint32_t EffectiveUser();  // geteuid: the owner of the files the runner makes
  // getrlimit and setrlimit of RLIMIT_NOFILE: how many descriptors the
  // process may hold open (soft) and how far it may raise that (hard).
  virtual int GetOpenFileLimit(std::uint64_t* soft, std::uint64_t* hard);
  virtual int SetOpenFileLimit(std::uint64_t soft);
};

// Returns the layer in use.
SysCalls& Sys();

// Counts the layers put in place and taken away: what was learnt through
// one layer about the system (a probe) is learnt again after a change.
std::uint64_t SysCallsGeneration();

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
