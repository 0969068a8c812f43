#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "io/file_status.h"
#include "io/handle.h"

namespace parcelo {

// How a file or folder is opened.
struct OpenOptions {
  enum class Access { Read, Write, ReadWrite };
  enum class Creation {
    OpenExisting,     // it must be there
    CreateExclusive,  // a new entry of the name, which must not be there
    CreateUnnamed,    // a new file with no name yet in the folder `name` names (".")
  };

  Access access = Access::Read;
  Creation creation = Creation::OpenExisting;
  bool folder = false;        // it must be a folder (ENOTDIR otherwise)
  bool noFollow = false;      // a symbolic link at the end of the name is refused (ELOOP)
  std::uint32_t mode = 0600;  // the permission bits of a new file, before the creation mask
};

// How an open file or folder is locked: shared with other shared holders,
// or exclusive.
enum class LockMode { Shared, Exclusive };

// The process that holds a lock on a file, as far as the system tells.
struct LockHolder {
  std::string name;        // as the system keeps it, perhaps shortened ("parcelo-cli")
  std::uint32_t user = 0;  // its effective user
  bool thisProcess = false;
};

// The one layer over the system's file calls, in this program's own terms:
// handles (io/handle.h), OpenOptions, LockMode and FileStatus. Every call
// returns 0 or the number of its error: an errno value where POSIX has one
// (ENOENT, EACCES, ENOSPC, EINTR, ...), else one of io/file_error.h's
// (kFileInUse, kInvalidName, kWindowsError + a Windows error). Names are
// UTF-8; a name opened, looked at or removed "in a folder" is one entry of
// the open folder `folder`, or a path of its own (absolute or from the
// current folder) when `folder` is none.
//
// sys_calls_posix.cpp and sys_calls_windows.cpp make it of each system's
// calls. Tests put a stand-in in place to force EINTR, short writes, ENOSPC
// and failing closes and renames.
class SysCalls {
 public:
  virtual ~SysCalls() = default;

  // Opens `name` in `folder`. Opening to read never blocks on a FIFO or a
  // device and never makes one the controlling terminal; a folder opened
  // as a file opens, to be refused by its status.
  virtual int Open(Handle folder, const char* name, const OpenOptions& options, Handle* opened);
  virtual int Close(Handle handle);
  // Read and write at an offset, leaving no position behind; `*done` is the
  // bytes moved, perhaps fewer than asked, 0 for a read at the end.
  virtual int ReadAt(Handle file, void* buffer, std::size_t count, std::uint64_t offset,
                     std::size_t* done);
  virtual int WriteAt(Handle file, const void* buffer, std::size_t count, std::uint64_t offset,
                      std::size_t* done);
  virtual int Status(Handle handle, FileStatus* status);
  // The status of the entry `name` itself, never of where a link leads.
  virtual int EntryStatus(Handle folder, const char* name, FileStatus* status);
  // 0 when the runner may write into the entry `name` in place.
  virtual int CheckWritable(Handle folder, const char* name);
  virtual int SetMode(Handle file, std::uint32_t mode);
  virtual int SetOwner(Handle file, std::uint32_t owner, std::uint32_t group);
  virtual int SetSize(Handle file, std::uint64_t length);
  virtual int MakeFolder(Handle folder, const char* name);
  virtual int RemoveFile(Handle folder, const char* name);
  virtual int RemoveFolder(Handle folder, const char* name);  // only an empty one
  // Renames an entry of a folder, replacing what has the name `to`.
  virtual int Rename(Handle folder, const char* from, const char* to);
  // Gives an unnamed file the name `name` in `folder` through its entry in
  // /proc/self/fd: ENOENT where /proc is not mounted.
  virtual int LinkUnnamed(Handle file, Handle folder, const char* name);
  // The same by the handle itself (linkat with AT_EMPTY_PATH), which needs
  // no /proc but a privilege (CAP_DAC_READ_SEARCH): ENOENT without it.
  virtual int LinkUnnamedByHandle(Handle file, Handle folder, const char* name);
  // Locks an open file or folder against other processes' locks; with
  // `wait` false a lock held elsewhere fails at once with EWOULDBLOCK. The
  // lock lasts until Unlock(handle, *lock) or, on POSIX systems, the
  // handle's close; `*lock` is what the system keeps of it apart from the
  // handle (none on POSIX systems).
  virtual int Lock(Handle handle, LockMode mode, bool wait, Handle* lock);
  virtual int Unlock(Handle handle, Handle lock);
  // Finds who holds the lock on the open file `handle` (on Linux from
  // /proc/locks); ENOENT where the system does not tell or names no one.
  virtual int FindLockHolder(Handle handle, LockHolder* holder);
  // Appends the names of a folder's entries, "." and ".." left out.
  virtual int ReadNames(Handle folder, std::vector<std::string>* names);
  // Shares a range of one file's blocks with another (copy on write); fails
  // with EOPNOTSUPP, EXDEV or EINVAL where the file system can't.
  virtual int CloneRange(Handle from, std::uint64_t fromOffset, Handle to, std::uint64_t toOffset,
                         std::uint64_t count);
  // Asks the system to start writing a range of a file's cached pages to
  // its disk, and returns without waiting for the disk. Only a hint: 0
  // where the system takes no such hint.
  virtual int StartWriteBack(Handle file, std::uint64_t offset, std::uint64_t count);
  // The start of the first data, or of the first hole, at or after
  // `offset`. The end of a file counts as a hole; ENXIO at or past the
  // end, and for SeekData in a hole that runs to the end. A file system
  // without hole information reports the whole file as data.
  virtual int SeekData(Handle file, std::uint64_t offset, std::uint64_t* at);
  virtual int SeekHole(Handle file, std::uint64_t offset, std::uint64_t* at);
  // The bytes free for the runner on the file system of an open folder.
  virtual int FreeSpace(Handle folder, std::uint64_t* bytes);
  // The largest file the file system of an open folder can hold: 4 GiB - 1
  // byte on FAT, UINT64_MAX where it sets no limit of its own.
  virtual int LargestFile(Handle folder, std::uint64_t* bytes);
  virtual std::uint32_t CreationMask();   // the process's umask, left unchanged; 0 where none
  virtual std::uint32_t EffectiveUser();  // the owner of the files the runner makes
  // How many files the process may hold open (soft) and how far it may
  // raise that (hard); UINT64_MAX where the system sets no such limit.
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
