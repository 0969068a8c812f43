#include "io/replacement_file.h"

#include <cerrno>
#include <chrono>
#include <random>

#include "io/file_error.h"
#include "io/folder.h"
#include "io/sys_calls.h"

namespace parcelo {
namespace {

constexpr int kNameAttempts = 100;

// A hidden name no longer than the target's, so that the temporary never
// meets a name limit the target does not: the join's listing passes over
// names that start with a dot. A one-letter target gets a one-letter name.
std::string TemporaryNameFor(const std::string& target) {
  static std::mt19937_64 random(
      std::random_device{}() ^
      static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  const std::size_t length = std::min<std::size_t>(target.size(), 16);
  std::string name = length > 1 ? "." : "";
  while (name.size() < length) name.push_back(kLetters[random() % (sizeof kLetters - 1)]);
  return name;
}

}  // namespace

void CheckReplaceable(const Folder& folder, const std::string& name) {
  const std::optional<FileStatus> status = folder.Status(name);
  if (!status) return;
  switch (status->kind) {
    case FileStatus::Kind::Regular:
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
    return;
  }
  // Where the file system or the kernel has no unnamed files, use a named one.
  if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL && errno != ENOENT) {
    throw FileError(errno, FileOperation::Create, folder.PathOf(name));
  }
#endif
  CreateNamedTemporary();
}

void ReplacementFile::CreateNamedTemporary() {
  for (int attempt = 1;; ++attempt) {
    const std::string candidate = TemporaryNameFor(name_);
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
    const std::string candidate = TemporaryNameFor(name_);
    if (Sys().LinkUnnamed(file_.fd(), folder_.fd(), candidate.c_str()) == 0) {
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
  // may), and never passes on setuid or setgid bits to its new owner.
  const std::optional<FileStatus> old = folder_.Status(name_);
  std::uint32_t mode = newMode_ & ~Sys().Umask();
  if (old && old->kind == FileStatus::Kind::Regular) {
    const FileStatus mine = file_.Status();
    if (old->owner != mine.owner || old->group != mine.group) {
      Sys().Fchown(file_.fd(), old->owner, old->group);  // EPERM: it stays the runner's
    }
    mode = old->mode & modeLimit_;
  }
  if (Sys().Fchmod(file_.fd(), mode & 0777) != 0) {
    throw FileError(errno, FileOperation::Replace, target());
  }
}

void ReplacementFile::Commit() {
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
