#include "io/replacement_file.h"

#include <cerrno>
#include <chrono>
#include <mutex>
#include <optional>
#include <random>
#include <string_view>

#include "io/descriptor.h"
#include "io/file_error.h"
#include "io/folder.h"
#include "io/sys_calls.h"

namespace parcelo {
namespace {

constexpr int kNameAttempts = 100;
constexpr std::string_view kTemporaryPrefix = ".parcelo-";
constexpr std::size_t kTemporaryLetters = 8;
constexpr std::string_view kLetters = "abcdefghijklmnopqrstuvwxyz0123456789";

// A hidden name, so the join's listing passes over it, and a short one, so
// it meets no name limit the target does not.
std::string TemporaryName() {
  static std::mt19937_64 random(
      std::random_device{}() ^
      static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
  std::string name(kTemporaryPrefix);
  while (name.size() < kTemporaryPrefix.size() + kTemporaryLetters) {
    name.push_back(kLetters[random() % kLetters.size()]);
  }
  return name;
}

bool IsTemporaryName(const std::string& name) {
  return name.size() == kTemporaryPrefix.size() + kTemporaryLetters &&
         name.starts_with(kTemporaryPrefix) &&
         name.find_first_not_of(kLetters, kTemporaryPrefix.size()) == std::string::npos;
}

// How this run gives its unnamed temporaries their names at a commit:
// through /proc/self/fd, which a container or chroot may lack, or by the
// descriptor, which needs a privilege. A split holds up to a thousand
// temporaries before its first commit, so the way is chosen at the first
// one, before any data is written, and kept for the run; where neither
// works, every temporary is a named one.
enum class Linking { Unknown, ThroughProc, ByDescriptor, Unavailable };

std::mutex linkingMutex;
Linking linking = Linking::Unknown;
std::uint64_t linkingGeneration = 0;

int LinkUnnamed(Linking way, int fd, int folderFd, const char* name) {
  return way == Linking::ByDescriptor ? Sys().LinkUnnamedByDescriptor(fd, folderFd, name)
                                      : Sys().LinkUnnamed(fd, folderFd, name);
}

#ifdef O_TMPFILE
// The errors that say a way of linking is not open to this process, as
// opposed to the folder refusing a new name (no room, a read-only disk).
bool IsUnavailable(int error) {
  return error == ENOENT || error == ENOTDIR || error == EACCES || error == EPERM ||
         error == EINVAL || error == ELOOP || error == EOPNOTSUPP;
}

// Links the empty unnamed file `probe` to a hidden name the way `way`, and
// removes the name at once. Returns whether that way works; throws
// FileError naming the entry `name` when the folder refuses the name.
bool LinkingWorks(Linking way, const Folder& folder, int probe, const std::string& name) {
  for (int attempt = 1;; ++attempt) {
    const std::string candidate = TemporaryName();
    if (LinkUnnamed(way, probe, folder.fd(), candidate.c_str()) == 0) {
      Sys().UnlinkAt(folder.fd(), candidate.c_str(), 0);
      return true;
    }
    if (errno != EEXIST && IsUnavailable(errno)) return false;
    if (errno != EEXIST || attempt == kNameAttempts) {
      throw FileError(errno, FileOperation::Create, folder.PathOf(name));
    }
  }
}
#endif

// Returns this run's way of linking, probed in `folder` the first time.
Linking ChooseLinking(const Folder& folder, const std::string& name) {
  const std::lock_guard lock(linkingMutex);
  if (linkingGeneration != SysCallsGeneration()) {
    linkingGeneration = SysCallsGeneration();
    linking = Linking::Unknown;
  }
  if (linking != Linking::Unknown) return linking;
#ifdef O_TMPFILE
  const Descriptor probe(Sys().OpenAt(folder.fd(), ".", O_TMPFILE | O_WRONLY, 0600));
  if (probe.get() < 0) throw FileError(errno, FileOperation::Create, folder.PathOf(name));
  for (const Linking way : {Linking::ThroughProc, Linking::ByDescriptor}) {
    if (LinkingWorks(way, folder, probe.get(), name)) return linking = way;
  }
#else
  (void)folder, (void)name;
#endif
  return linking = Linking::Unavailable;
}

FileStatus StatusOf(const Folder& folder) {
  FileStatus status;
  if (Sys().Fstat(folder.fd(), &status) != 0) {
    throw FileError(errno, FileOperation::Stat, folder.path());
  }
  return status;
}

bool IsWorldWritable(const FileStatus& folder) { return folder.mode & 0002; }

// The kernel's protected_regular rule: in a sticky folder anyone may write
// to, a file of a third user (neither the runner nor the folder's owner)
// is theirs alone, and no one hands it content, root included.
bool IsProtected(const FileStatus& folder, const FileStatus& file) {
  const std::uint32_t runner = Sys().EffectiveUser();
  return IsWorldWritable(folder) && (folder.mode & 01000) && file.owner != runner &&
         file.owner != folder.owner;
}

// The errors of a file system that keeps no modes (FAT through FUSE).
bool KeepsNoModes(int error) {
  for (const int none : {ENOSYS, EOPNOTSUPP, ENOTSUP, EPERM}) {
    if (error == none) return true;
  }
  return false;
}

}  // namespace

void RemoveStaleTemporaries(const Folder& folder) {
  for (const std::string& name : folder.Names()) {
    if (!IsTemporaryName(name)) continue;
    try {
      const std::optional<FileStatus> status = folder.Status(name);
      if (status && status->kind == FileStatus::Kind::Regular) folder.Remove(name);
    } catch (const FileError&) {
      // Another user's, or a read-only medium: it harms no set where it is.
    }
  }
}

void CheckReplaceable(const Folder& folder, const std::string& name) {
  const std::optional<FileStatus> status = folder.Status(name);
  if (!status) return;
  switch (status->kind) {
    case FileStatus::Kind::Regular:
      if (IsProtected(StatusOf(folder), *status)) {
        throw FileError(kProtectedFile, FileOperation::Create, folder.PathOf(name));
      }
      if (const int error = folder.WriteAccessError(name)) {
        throw FileError(error, FileOperation::Create, folder.PathOf(name));
      }
      return;
    case FileStatus::Kind::SymbolicLink:
      throw FileError(kSymbolicLink, FileOperation::Create, folder.PathOf(name));
    case FileStatus::Kind::Folder:
      throw FileError(EISDIR, FileOperation::Create, folder.PathOf(name));
    case FileStatus::Kind::Other:
      throw FileError(kNotRegularFile, FileOperation::Create, folder.PathOf(name));
  }
}

ReplacementFile::ReplacementFile(const Folder& folder, const std::string& name,
                                 std::uint32_t newMode, std::uint32_t modeLimit)
    : folder_(folder), name_(name), newMode_(newMode), modeLimit_(modeLimit) {
#ifdef O_TMPFILE
  const int fd = Sys().OpenAt(folder.fd(), ".", O_TMPFILE | O_RDWR, 0600);
  if (fd >= 0) {
    file_ = File(fd, folder.PathOf(name));
    if (ChooseLinking(folder, name) != Linking::Unavailable) return;
    file_ = File();
  } else if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL && errno != ENOENT) {
    // Where the file system or the kernel has no unnamed files, a named one.
    throw FileError(errno, FileOperation::Create, folder.PathOf(name));
  }
#endif
  CreateNamedTemporary();
}

void ReplacementFile::CreateNamedTemporary() {
  for (int attempt = 1;; ++attempt) {
    const std::string candidate = TemporaryName();
    const int fd = Sys().OpenAt(folder_.fd(), candidate.c_str(), O_RDWR | O_CREAT | O_EXCL, 0600);
    if (fd >= 0) {
      temporary_ = candidate;
      file_ = File(fd, folder_.PathOf(name_));
      return;
    }
    if (errno != EEXIST || attempt == kNameAttempts) {
      throw FileError(errno, FileOperation::Create, folder_.PathOf(name_));
    }
  }
}

void ReplacementFile::LinkUnnamedTemporary() {
  for (int attempt = 1;; ++attempt) {
    const std::string candidate = TemporaryName();
    const Linking way = ChooseLinking(folder_, name_);
    if (LinkUnnamed(way, file_.fd(), folder_.fd(), candidate.c_str()) == 0) {
      temporary_ = candidate;
      return;
    }
    if (errno != EEXIST || attempt == kNameAttempts) {
      throw FileError(errno, FileOperation::Replace, target());
    }
  }
}

ReplacementFile::~ReplacementFile() {
  if (committed_) return;
  file_ = File();  // closes quietly; an unnamed temporary is gone with it
  if (!temporary_.empty()) Sys().UnlinkAt(folder_.fd(), temporary_.c_str(), 0);
}

void ReplacementFile::SetOwnerAndMode() {
  // Taken from the entry itself, never through a symbolic link; a replaced
  // file keeps its owner and group where the runner may set them (root
  // may), and never passes on setuid or setgid bits to its new owner. In a
  // folder anyone may write to, anyone may have put the old file there to
  // be handed what the runner writes: there only the folder's owner and
  // the runner keep theirs.
  const std::optional<FileStatus> old = folder_.Status(name_);
  std::uint32_t mode = newMode_ & ~Sys().Umask();
  if (old && old->kind == FileStatus::Kind::Regular) {
    const FileStatus mine = file_.Status();
    const FileStatus here = StatusOf(folder_);
    const bool trusted =
        !IsWorldWritable(here) || old->owner == here.owner || old->owner == mine.owner;
    if (trusted && (old->owner != mine.owner || old->group != mine.group)) {
      Sys().Fchown(file_.fd(), old->owner, old->group);  // EPERM: it stays the runner's
    }
    mode = old->mode & modeLimit_;
  }
  if (Sys().Fchmod(file_.fd(), mode & 0777) != 0) {
    // A file system without modes: on as cp goes, unless the temporary's
    // own 0600 is more than the file may have.
    if (!KeepsNoModes(errno) || (0600 & ~mode) != 0) {
      throw FileError(errno, FileOperation::Replace, target());
    }
  }
}

void ReplacementFile::CloseUntilCommit() {
  if (temporary_.empty()) LinkUnnamedTemporary();
  closed_ = file_.Status();
  file_.Close();
}

void ReplacementFile::ReopenTemporary() {
  const int fd =
      Sys().OpenAt(folder_.fd(), temporary_.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK, 0);
  if (fd < 0) throw FileError(errno, FileOperation::Replace, target());
  file_ = File(fd, folder_.PathOf(name_));
  if (!file_.Status().IsSameFileAs(closed_)) {
    throw FileError(kFileReplaced, FileOperation::Replace, target());
  }
}

void ReplacementFile::Commit() {
  if (file_.fd() < 0) ReopenTemporary();
  CheckReplaceable(folder_, name_);
  SetOwnerAndMode();
  if (temporary_.empty()) LinkUnnamedTemporary();
  file_.Close();
  if (Sys().RenameAt(folder_.fd(), temporary_.c_str(), name_.c_str()) != 0) {
    throw FileError(errno, FileOperation::Replace, target());
  }
  committed_ = true;
}

}  // namespace parcelo
