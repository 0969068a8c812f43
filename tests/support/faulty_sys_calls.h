#pragma once

// A system-call layer for tests that interrupts, shortens and fails calls
// on demand, passing everything else to the real system.

#include <algorithm>
#include <cerrno>
#include <functional>
#include <map>
#include <optional>
#include <set>

#include "io/sys_calls.h"

namespace parcelo::testing {

struct FaultySysCalls : SysCalls {
  bool interrupt = false;             // every other read and write fails with EINTR
  std::size_t maxBytesPerCall = 0;    // reads and writes move at most this (0: no limit)
  int writeError = 0;                 // writes fail so once writeErrorAfter bytes went out;
  std::uint64_t writeErrorAfter = 0;  // 0 as the error: a write that moves nothing instead
  std::string openErrorName;          // opening an entry of this name fails with EACCES
  int closeError = 0;                 // closing a file that was written fails so
  int unnamedError = 0;               // unnamed temporaries fail so
  int takenNames = 0;                 // so many temporary names in a row are taken (EEXIST)
  // A call of this name fails so; block sharing is refused unless erased, then shown by copying
  // the bytes, after which `shared` sees the source and the count.
  std::map<std::string, int> errors{{"CloneRange", EOPNOTSUPP}};
  std::function<void(Handle from, std::uint64_t count)> shared;
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

  int Open(Handle folder, const char* name, const OpenOptions& options, Handle* opened) override {
    using Creation = OpenOptions::Creation;
    if (openErrorName == name) return EACCES;
    if (options.creation == Creation::CreateUnnamed && unnamedError) return unnamedError;
    if (options.creation == Creation::CreateExclusive && takenNames > 0) return --takenNames, EEXIST;
    return SysCalls::Open(folder, name, options, opened);
  }
  int ReadAt(Handle file, void* buffer, std::size_t count, std::uint64_t offset, std::size_t* done) override {
    if (Interrupt()) return EINTR;
    const int error = SysCalls::ReadAt(file, buffer, Limit(count), offset, done);
    if (error == 0) read += *done;
    return error;
  }
  int WriteAt(Handle file, const void* buffer, std::size_t count, std::uint64_t offset, std::size_t* done) override {
    if (Interrupt()) return EINTR;
    written_.insert(file.value());
    if (writeErrorAfter && written >= writeErrorAfter) return writeError ? writeError : (*done = 0, 0);
    const int error = SysCalls::WriteAt(file, buffer, Limit(count), offset, done);
    if (error == 0) written += *done;
    return error;
  }
  int Close(Handle handle) override {
    const bool wasWritten = written_.erase(handle.value()) > 0;
    const int result = Pass("Close", [&] { return SysCalls::Close(handle); });
    return wasWritten && closeError ? closeError : result;
  }
  // The rest fail as `errors` says (a link also as `takenNames` does), else pass through.
#define PARCELO_PASS(Call, Parameters, Arguments)                 \
  int Call Parameters override {                                  \
    return Pass(#Call, [&] { return SysCalls::Call Arguments; }); \
  }
  PARCELO_PASS(LinkUnnamed, (Handle f, Handle d, const char* n), (f, d, n))
  PARCELO_PASS(LinkUnnamedByHandle, (Handle f, Handle d, const char* n), (f, d, n))
  PARCELO_PASS(Status, (Handle h, FileStatus* s), (h, s))
  PARCELO_PASS(EntryStatus, (Handle d, const char* n, FileStatus* s), (d, n, s))
  PARCELO_PASS(SetMode, (Handle f, std::uint32_t mode), (f, mode))
  PARCELO_PASS(MakeFolder, (Handle d, const char* n), (d, n))
  PARCELO_PASS(RemoveFile, (Handle d, const char* n), (d, n))
  PARCELO_PASS(ReadNames, (Handle d, std::vector<std::string>* n), (d, n))
  PARCELO_PASS(FindLockHolder, (Handle h, LockHolder* holder), (h, holder))
  PARCELO_PASS(Rename, (Handle d, const char* from, const char* to), (d, from, to))
  PARCELO_PASS(SeekData, (Handle f, std::uint64_t offset, std::uint64_t* at), (f, offset, at))
  PARCELO_PASS(SeekHole, (Handle f, std::uint64_t offset, std::uint64_t* at), (f, offset, at))
  PARCELO_PASS(StartWriteBack, (Handle f, std::uint64_t offset, std::uint64_t n), (f, offset, n))
#undef PARCELO_PASS
  int CloneRange(Handle from, std::uint64_t at, Handle to, std::uint64_t toAt, std::uint64_t count) override {
    return Pass("CloneRange", [&] {
      std::string bytes(count, '\0');
      std::size_t got = 0, wrote = 0;
      if (const int error = SysCalls::ReadAt(from, bytes.data(), count, at, &got)) return error;
      if (const int error = SysCalls::WriteAt(to, bytes.data(), got, toAt, &wrote)) return error;
      if (shared) shared(from, count);
      return 0;
    });
  }
  // The figures tell what is set, else the real one.
#define PARCELO_FIGURE(Call, figure)                                                               \
  int Call(Handle d, std::uint64_t* bytes) override {                                              \
    return Pass(#Call, [&] { return figure ? (*bytes = *figure, 0) : SysCalls::Call(d, bytes); }); \
  }
  PARCELO_FIGURE(FreeSpace, freeSpace)
  PARCELO_FIGURE(LargestFile, largestFile)
#undef PARCELO_FIGURE

 private:
  template <typename Real>
  int Pass(const std::string& call, Real real) {
    if (call.starts_with("LinkUnnamed") && takenNames > 0) return --takenNames, EEXIST;
    ++calls[call];
    const auto error = errors.find(call);
    return error == errors.end() ? real() : error->second;
  }
  bool Interrupt() { return interrupt && (toggle_ = !toggle_) && (++interruptedCalls, true); }
  std::size_t Limit(std::size_t count) const { return maxBytesPerCall ? std::min(count, maxBytesPerCall) : count; }
  bool toggle_ = false;
  std::set<std::intptr_t> written_;
};

}  // namespace parcelo::testing
