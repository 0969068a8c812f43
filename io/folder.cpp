#include "io/folder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "io/file_error.h"
#include "io/sys_calls.h"

namespace parcelo {

Folder::Folder(Folder&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), path_(std::move(other.path_)) {}

Folder& Folder::operator=(Folder&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) Sys().Close(fd_);
    fd_ = std::exchange(other.fd_, -1);
    path_ = std::move(other.path_);
  }
  return *this;
}

Folder::~Folder() {
  if (fd_ >= 0) Sys().Close(fd_);
}

Folder Folder::Open(const std::string& path) {
  const int fd = Sys().OpenAt(AT_FDCWD, path.c_str(), O_RDONLY | O_DIRECTORY | O_NONBLOCK, 0);
  if (fd < 0) throw FileError(errno, FileOperation::Open, path);
  return Folder(fd, path);
}

Folder Folder::OpenChild(const std::string& name) const {
  const int fd =
      Sys().OpenAt(fd_, name.c_str(), O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_NOFOLLOW, 0);
  if (fd < 0) {
    // A symbolic link there fails with ELOOP, or ENOTDIR on some systems.
    const int error = errno;
    const std::optional<FileStatus> status = Status(name);
    const bool link = status && status->kind == FileStatus::Kind::SymbolicLink;
    throw FileError(link ? kSymbolicLink : error, FileOperation::Open, PathOf(name));
  }
  return Folder(fd, PathOf(name));
}

void Folder::MakeChild(const std::string& name) const {
  if (Sys().MkdirAt(fd_, name.c_str(), 0777) != 0) {
    throw FileError(errno, FileOperation::CreateFolder, PathOf(name));
  }
}

bool Folder::RemoveChildIfEmpty(const std::string& name) const noexcept {
  return Sys().UnlinkAt(fd_, name.c_str(), AT_REMOVEDIR) == 0;
}

std::string Folder::PathOf(const std::string& name) const {
  if (!path_.empty() && path_.back() == '/') return path_ + name;
  return path_ + "/" + name;
}

std::optional<FileStatus> Folder::Status(const std::string& name) const {
  struct stat status {};
  if (Sys().LstatAt(fd_, name.c_str(), &status) == 0) return FileStatus::From(status);
  if (errno == ENOENT) return std::nullopt;
  throw FileError(errno, FileOperation::Stat, PathOf(name));
}

int Folder::WriteAccessError(const std::string& name) const {
  return Sys().AccessAt(fd_, name.c_str(), W_OK) == 0 ? 0 : errno;
}

std::vector<std::string> Folder::Names() const {
  std::vector<std::string> names;
  if (Sys().ReadNames(fd_, &names) != 0) throw FileError(errno, FileOperation::ListFolder, path_);
  return names;
}

void Folder::Remove(const std::string& name) const {
  if (Sys().UnlinkAt(fd_, name.c_str(), 0) != 0 && errno != ENOENT) {
    throw FileError(errno, FileOperation::Remove, PathOf(name));
  }
}

void Folder::Lock() const {
  for (;;) {
    if (Sys().Flock(fd_, LOCK_EX | LOCK_NB) == 0) return;
    if (errno == EINTR) continue;
    throw FileError(errno == EWOULDBLOCK ? kFolderBusy : errno, FileOperation::Lock, path_);
  }
}

bool IsFolder(const std::string& path) {
  const int fd = Sys().OpenAt(AT_FDCWD, path.c_str(), O_RDONLY | O_DIRECTORY | O_NONBLOCK, 0);
  if (fd < 0) return false;
  Sys().Close(fd);
  return true;
}

}  // namespace parcelo
