#pragma once

// A system-call layer for tests that interrupts, shortens and fails calls
// on demand, passing everything else to the real system.

#include <fcntl.h>

#include <cerrno>
#include <cstdint>
#include <map>
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
  int renameError = 0;                // renames fail so
  int unnamedError = 0;               // unnamed temporaries (O_TMPFILE) fail so
  int takenNames = 0;                 // so many temporary names in a row are taken (EEXIST)
  int cloneError = EOPNOTSUPP;        // block sharing fails so (0: as the system does)
  int seekError = 0;                  // SeekData and SeekHole fail so (EINVAL: no hole information)
  std::map<std::string, int> errors;  // a call of this name ("MkdirAt") fails so

  std::uint64_t written = 0;
  std::uint64_t read = 0;
  int interruptedCalls = 0;
  int cloneCalls = 0;
  int closeCalls = 0;
  int renameCalls = 0;
  int seekCalls = 0;

  int OpenAt(int folderFd, const char* name, int flags, std::uint32_t mode) override {
    if (openErrorName == name) return Fail(EACCES);
#ifdef O_TMPFILE
    if ((flags & O_TMPFILE) == O_TMPFILE && unnamedError) return Fail(unnamedError);
#endif
    if ((flags & O_EXCL) && takenNames > 0) {
      --takenNames;
      return Fail(EEXIST);
    }
    return SysCalls::OpenAt(folderFd, name, flags, mode);
  }
  int LinkUnnamed(int fd, int folderFd, const char* name) override {
    if (takenNames > 0) {
      --takenNames;
      return Fail(EEXIST);
    }
    return SysCalls::LinkUnnamed(fd, folderFd, name);
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
    if (writeErrorAfter && written >= writeErrorAfter) {
      errno = writeError;
      return writeError ? -1 : 0;
    }
    const ssize_t wrote = SysCalls::Pwrite(fd, buffer, Limit(count), offset);
    if (wrote > 0) written += static_cast<std::uint64_t>(wrote);
    return wrote;
  }
  int Close(int fd) override {
    ++closeCalls;
    const bool wasWritten = writtenFds_.erase(fd) > 0;
    const int result = SysCalls::Close(fd);
    return wasWritten && closeError ? Fail(closeError) : result;
  }
  int LstatAt(int folderFd, const char* name, FileStatus* status) override {
    return Failing("LstatAt") ? -1 : SysCalls::LstatAt(folderFd, name, status);
  }
  int Fchmod(int fd, std::uint32_t mode) override { return Failing("Fchmod") ? -1 : SysCalls::Fchmod(fd, mode); }
  int SetFlags(int fd, int flags) override { return Failing("SetFlags") ? -1 : SysCalls::SetFlags(fd, flags); }
  int MkdirAt(int folderFd, const char* name, std::uint32_t mode) override {
    return Failing("MkdirAt") ? -1 : SysCalls::MkdirAt(folderFd, name, mode);
  }
  int UnlinkAt(int folderFd, const char* name, int flags) override {
    return Failing("UnlinkAt") ? -1 : SysCalls::UnlinkAt(folderFd, name, flags);
  }
  int ReadNames(int folderFd, std::vector<std::string>* names) override {
    return Failing("ReadNames") ? -1 : SysCalls::ReadNames(folderFd, names);
  }
  int RenameAt(int folderFd, const char* from, const char* to) override {
    ++renameCalls;
    return renameError ? Fail(renameError) : SysCalls::RenameAt(folderFd, from, to);
  }
  int CloneRange(int fromFd, std::uint64_t fromOffset, int toFd, std::uint64_t toOffset, std::uint64_t count) override {
    ++cloneCalls;
    return cloneError ? Fail(cloneError) : SysCalls::CloneRange(fromFd, fromOffset, toFd, toOffset, count);
  }
  std::int64_t SeekData(int fd, std::uint64_t offset) override {
    ++seekCalls;
    return seekError ? Fail(seekError) : SysCalls::SeekData(fd, offset);
  }
  std::int64_t SeekHole(int fd, std::uint64_t offset) override {
    ++seekCalls;
    return seekError ? Fail(seekError) : SysCalls::SeekHole(fd, offset);
  }
  int Ftruncate(int fd, std::uint64_t length) override {
    return Failing("Ftruncate") ? -1 : SysCalls::Ftruncate(fd, length);
  }

 private:
  static int Fail(int error) {
    errno = error;
    return -1;
  }
  bool Failing(const std::string& call) {
    const auto error = errors.find(call);
    if (error == errors.end()) return false;
    errno = error->second;
    return true;
  }
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
  std::set<int> writtenFds_;
};

}  // namespace parcelo::testing
