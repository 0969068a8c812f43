#include "io/folder.h"

#include <cerrno>
#include <utility>

#include "io/file_error.h"
#include "io/sys_calls.h"

namespace parcelo {

Folder Folder::Open(const std::string& path) {
  const int fd = Sys().OpenAt(AT_FDCWD, path.c_str(), O_RDONLY | O_DIRECTORY | O_NONBLOCK, 0);
  if (fd < 0) throw FileError(errno, FileOperation::Open, path);
  return Folder(fd, path);
}

Folder Folder::OpenChild(const std::string& name) const {
  const int child =
      Sys().OpenAt(fd(), name.c_str(), O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_NOFOLLOW, 0);
  if (child < 0) {
    // A symbolic link there fails with ELOOP, or ENOTDIR on some systems.
    const int error = errno;
    const std::optional<FileStatus> status = Status(name);
    const bool link = status && status->kind == FileStatus::Kind::SymbolicLink;
    throw FileError(link ? kSymbolicLink : error, FileOperation::Open, PathOf(name));
  }
  return Folder(child, PathOf(name));
}

void Folder::MakeChild(const std::string& name) const {
  if (Sys().MkdirAt(fd(), name.c_str(), 0777) != 0) {
    throw FileError(errno, FileOperation::CreateFolder, PathOf(name));
  }
}

bool Folder::RemoveChildIfEmpty(const std::string& name) const noexcept {
  return Sys().UnlinkAt(fd(), name.c_str(), AT_REMOVEDIR) == 0;
}

std::string Folder::PathOf(const std::string& name) const {
#ifdef _WIN32
  if (!path_.empty() && (path_.back() == '\\' || path_.back() == '/')) return path_ + name;
  return path_ + "\\" + name;
#else
  if (!path_.empty() && path_.back() == '/') return path_ + name;
  return path_ + "/" + name;
#endif
}

std::optional<FileStatus> Folder::Status(const std::string& name) const {
  FileStatus status;
  if (Sys().LstatAt(fd(), name.c_str(), &status) == 0) return status;
  if (errno == ENOENT) return std::nullopt;
  throw FileError(errno, FileOperation::Stat, PathOf(name));
}

int Folder::WriteAccessError(const std::string& name) const {
  return Sys().AccessAt(fd(), name.c_str(), W_OK) == 0 ? 0 : errno;
}

std::vector<std::string> Folder::Names() const {
  std::vector<std::string> names;
  if (Sys().ReadNames(fd(), &names) != 0) throw FileError(errno, FileOperation::ListFolder, path_);
  return names;
}

void Folder::Remove(const std::string& name) const {
  if (Sys().UnlinkAt(fd(), name.c_str(), 0) != 0 && errno != ENOENT) {
    throw FileError(errno, FileOperation::Remove, PathOf(name));
  }
}

namespace {

// True when the lock on the folder `fd` is another Parcelo operation's:
// this process's, or a process of the runner's whose name starts with
// "parcelo" (parcelo-cli, the window). Another program's or another user's
// lock is not, nor one whose holder the system does not tell.
bool IsParceloLock(int fd) {
  LockHolder holder;
  if (Sys().FlockHolder(fd, &holder) != 0) return false;
  return holder.thisProcess ||
         (holder.name.rfind("parcelo", 0) == 0 && holder.user == Sys().EffectiveUser());
}

}  // namespace

void Folder::Lock() const {
  for (;;) {
    if (Sys().Flock(fd(), LOCK_EX | LOCK_NB) == 0) return;
    if (errno == EINTR) continue;
    if (errno != EWOULDBLOCK) throw FileError(errno, FileOperation::Lock, path_);
    throw FileError(IsParceloLock(fd()) ? kFolderBusy : kFolderBusyOther, FileOperation::Lock,
                    path_);
  }
}

}  // namespace parcelo
