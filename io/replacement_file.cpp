#include "io/replacement_file.h"

#include <cerrno>
#include <chrono>
#include <mutex>
#include <optional>
#include <random>
#include <string_view>

#include "io/file_error.h"
#include "io/folder.h"
#include "io/sys_calls.h"
#include "partset/temporary_name.h"

namespace parcelo {
namespace {

constexpr int kNameAttempts = 100;

// A hidden name, so the join's listing passes over it, and a short one, so
// it meets no name limit the target does not.
std::string TemporaryName() {
  static std::mt19937_64 random(
      std::random_device{}() ^
      static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
  std::string name(kTemporaryPrefix);
  while (name.size() < kTemporaryPrefix.size() + kTemporaryLetters) {
    name.push_back(kTemporaryNameLetters[random() % kTemporaryNameLetters.size()]);
  }
  return name;
}

// How this run gives its unnamed temporaries their names at a commit:
// through /proc/self/fd, which a container or chroot may lack, or by the
// handle, which needs a privilege. A split holds up to a thousand
// temporaries before its first commit, so the way is chosen at the first
// one, before any data is written, and kept for the run; where neither
// works, every temporary is a named one.
enum class Linking { Unknown, ThroughProc, ByHandle, Unavailable };

std::mutex linkingMutex;
Linking linking = Linking::Unknown;
std::uint64_t linkingGeneration = 0;

int LinkUnnamed(Linking way, Handle file, Handle folder, const char* name) {
  return way == Linking::ByHandle ? Sys().LinkUnnamedByHandle(file, folder, name)
                                  : Sys().LinkUnnamed(file, folder, name);
}

// Opens a new unnamed file in `folder`.
int OpenUnnamed(const Folder& folder, Handle* opened) {
  OpenOptions options;
  options.access = OpenOptions::Access::ReadWrite;
  options.creation = OpenOptions::Creation::CreateUnnamed;
  return Sys().Open(folder.handle(), ".", options, opened);
}

// The errors that say a way of linking is not open to this process, as
// opposed to the folder refusing a new name (no room, a read-only disk).
bool IsUnavailable(int error) {
  return error == ENOENT || error == ENOTDIR || error == EACCES || error == EPERM ||
         error == EINVAL || error == ELOOP || error == EOPNOTSUPP;
}

// Links the empty unnamed file `probe` to a hidden name the way `way`, and
// removes the name at once. Returns whether that way works; throws
// FileError naming the entry `name` when the folder refuses the name.
bool LinkingWorks(Linking way, const Folder& folder, Handle probe, const std::string& name) {
  for (int attempt = 1;; ++attempt) {
    const std::string candidate = TemporaryName();
    const int error = LinkUnnamed(way, probe, folder.handle(), candidate.c_str());
    if (error == 0) {
      Sys().RemoveFile(folder.handle(), candidate.c_str());
      return true;
    }
    if (error != EEXIST && IsUnavailable(error)) return false;
    if (error != EEXIST || attempt == kNameAttempts) {
      throw FileError(error, FileOperation::Create, folder.PathOf(name));
    }
  }
}

// Returns this run's way of linking, probed in `folder` the first time.
Linking ChooseLinking(const Folder& folder, const std::string& name) {
  const std::lock_guard lock(linkingMutex);
  if (linkingGeneration != SysCallsGeneration()) {
    linkingGeneration = SysCallsGeneration();
    linking = Linking::Unknown;
  }
  if (linking != Linking::Unknown) return linking;
  Handle opened;
  if (const int error = OpenUnnamed(folder, &opened)) {
    throw FileError(error, FileOperation::Create, folder.PathOf(name));
  }
  const OwnedHandle probe(opened);
  for (const Linking way : {Linking::ThroughProc, Linking::ByHandle}) {
    if (LinkingWorks(way, folder, probe.get(), name)) return linking = way;
  }
  return linking = Linking::Unavailable;
}

FileStatus StatusOf(const Folder& folder) {
  FileStatus status;
  if (const int error = Sys().Status(folder.handle(), &status)) {
    throw FileError(error, FileOperation::Stat, folder.path());
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

bool IsRunners(const FileStatus& file) { return file.owner == Sys().EffectiveUser(); }

void RemoveStaleTemporaries(const Folder& folder) {
  for (const std::string& name : folder.Names()) {
    if (!IsTemporaryName(name)) continue;
    try {
      const std::optional<FileStatus> status = folder.Status(name);
      if (status && status->kind == FileStatus::Kind::Regular && IsRunners(*status)) {
        folder.Remove(name);
      }
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
                                 std::uint32_t newMode, std::uint32_t modeLimit,
                                 std::optional<Origin> origin)
    : folder_(folder), name_(name), newMode_(newMode), modeLimit_(modeLimit), origin_(origin) {
  Handle unnamed;
  const int error = OpenUnnamed(folder, &unnamed);
  if (error == 0) {
    file_ = File(unnamed, folder.PathOf(name));
    if (ChooseLinking(folder, name) != Linking::Unavailable) return;
    file_ = File();
  } else if (error != EOPNOTSUPP && error != EISDIR && error != EINVAL && error != ENOENT) {
    // Where the system or the file system has no unnamed files, a named one.
    throw FileError(error, FileOperation::Create, folder.PathOf(name));
  }
  CreateNamedTemporary();
}

void ReplacementFile::CreateNamedTemporary() {
  for (int attempt = 1;; ++attempt) {
    const std::string candidate = TemporaryName();
    OpenOptions options;
    options.access = OpenOptions::Access::ReadWrite;
    options.creation = OpenOptions::Creation::CreateExclusive;
    Handle created;
    const int error = Sys().Open(folder_.handle(), candidate.c_str(), options, &created);
    if (error == 0) {
      temporary_ = candidate;
      file_ = File(created, folder_.PathOf(name_));
      return;
    }
    if (error != EEXIST || attempt == kNameAttempts) {
      throw FileError(error, FileOperation::Create, folder_.PathOf(name_));
    }
  }
}

void ReplacementFile::LinkUnnamedTemporary() {
  for (int attempt = 1;; ++attempt) {
    const std::string candidate = TemporaryName();
    const Linking way = ChooseLinking(folder_, name_);
    const int error = LinkUnnamed(way, file_.handle(), folder_.handle(), candidate.c_str());
    if (error == 0) {
      temporary_ = candidate;
      return;
    }
    if (error != EEXIST || attempt == kNameAttempts) {
      throw FileError(error, FileOperation::Replace, target());
    }
  }
}

ReplacementFile::~ReplacementFile() {
  if (committed_) return;
  file_ = File();  // closes quietly; an unnamed temporary is gone with it
  if (!temporary_.empty()) Sys().RemoveFile(folder_.handle(), temporary_.c_str());
}

void ReplacementFile::SetOwnerAndMode() {
  // Taken from the entry itself, never through a symbolic link; a replaced
  // file keeps its owner and group where the runner may set them (root
  // may), and never passes on setuid or setgid bits to its new owner. In a
  // folder anyone may write to, anyone may have put the old file there to
  // be handed what the runner writes: there only the folder's owner and
  // the runner keep theirs. Nor does anyone keep a file to be handed bytes
  // of another user's files.
  const std::optional<FileStatus> old = folder_.Status(name_);
  const FileStatus mine = file_.Status();
  std::uint32_t mode = newMode_ & ~Sys().CreationMask();
  std::optional<Origin> giveTo;
  if (old && old->kind == FileStatus::Kind::Regular) {
    const FileStatus here = StatusOf(folder_);
    const bool trusted =
        (!IsWorldWritable(here) || old->owner == here.owner || old->owner == mine.owner) &&
        (!origin_ || old->owner == origin_->owner);
    if (trusted) giveTo = Origin{old->owner, old->group};
    mode = old->mode & modeLimit_;
  }
  // A new file, or one whose owner may have planted it, is of the owner and
  // group of its bytes' files, where the runner may say so (root's work on
  // a user's files stays the user's).
  if (!giveTo && origin_ && origin_->owner != Origin::kNoOne) giveTo = origin_;
  if (giveTo) {
    const bool given = (giveTo->owner == mine.owner && giveTo->group == mine.group) ||
                       Sys().SetOwner(file_.handle(), giveTo->owner, giveTo->group) == 0;
    // A group the bytes' files don't have (a setgid folder's, the runner's)
    // gets no rights to them.
    if (giveTo->group == Origin::kNoOne || (!given && giveTo->group != mine.group)) {
      mode &= ~std::uint32_t{0070};
    }
  }
  if (const int error = Sys().SetMode(file_.handle(), mode & 0777)) {
    // A file system without modes: on as cp goes, unless the temporary's
    // own 0600 is more than the file may have.
    if (!KeepsNoModes(error) || (0600 & ~mode) != 0) {
      throw FileError(error, FileOperation::Replace, target());
    }
  }
}

void ReplacementFile::CloseUntilCommit() {
  if (temporary_.empty()) LinkUnnamedTemporary();
  closed_ = file_.Status();
  file_.Close();
}

void ReplacementFile::ReopenTemporary() {
  OpenOptions options;
  options.noFollow = true;
  Handle reopened;
  if (const int error = Sys().Open(folder_.handle(), temporary_.c_str(), options, &reopened)) {
    throw FileError(error, FileOperation::Replace, target());
  }
  file_ = File(reopened, folder_.PathOf(name_));
  if (!file_.Status().IsSameFileAs(closed_)) {
    throw FileError(kFileReplaced, FileOperation::Replace, target());
  }
}

void ReplacementFile::Commit() {
  if (!file_.handle().valid()) ReopenTemporary();
  CheckReplaceable(folder_, name_);
  SetOwnerAndMode();
  if (temporary_.empty()) LinkUnnamedTemporary();
  file_.Close();
  if (const int error = Sys().Rename(folder_.handle(), temporary_.c_str(), name_.c_str())) {
    throw FileError(error, FileOperation::Replace, target());
  }
  committed_ = true;
}

}  // namespace parcelo
