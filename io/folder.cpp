#include "io/folder.h"

#include <cerrno>
#include <utility>

#include "io/file_error.h"
#include "io/sys_calls.h"
#include "partset/path_helpers.h"

namespace parcelo {
namespace {

OpenOptions FolderOptions(bool noFollow) {
  OpenOptions options;
  options.folder = true;
  options.noFollow = noFollow;
  return options;
}

}  // namespace

Folder Folder::Open(const std::string& path) {
  Handle handle;
  if (const int error = Sys().Open(Handle(), path.c_str(), FolderOptions(false), &handle)) {
    throw FileError(error, FileOperation::Open, path);
  }
  return Folder(handle, path);
}

Folder Folder::OpenChild(const std::string& name) const {
  Handle child;
  if (const int error = Sys().Open(handle(), name.c_str(), FolderOptions(true), &child)) {
    // A symbolic link there fails with ELOOP, or ENOTDIR on some systems.
    const std::optional<FileStatus> status = Status(name);
    const bool link = status && status->kind == FileStatus::Kind::SymbolicLink;
    throw FileError(link ? kSymbolicLink : error, FileOperation::Open, PathOf(name));
  }
  return Folder(child, PathOf(name));
}

void Folder::MakeChild(const std::string& name) const {
  if (const int error = Sys().MakeFolder(handle(), name.c_str())) {
    throw FileError(error, FileOperation::CreateFolder, PathOf(name));
  }
}

bool Folder::RemoveChildIfEmpty(const std::string& name) const noexcept {
  return Sys().RemoveFolder(handle(), name.c_str()) == 0;
}

std::string Folder::PathOf(const std::string& name) const {
  if (!path_.empty() && IsSeparator(path_.back())) return path_ + name;
  return path_ + kSeparator + name;
}

std::optional<FileStatus> Folder::Status(const std::string& name) const {
  FileStatus status;
  const int error = Sys().EntryStatus(handle(), name.c_str(), &status);
  if (error == 0) return status;
  if (error == ENOENT) return std::nullopt;
  throw FileError(error, FileOperation::Stat, PathOf(name));
}

int Folder::WriteAccessError(const std::string& name) const {
  return Sys().CheckWritable(handle(), name.c_str());
}

bool Folder::IsSharedSticky() const {
  FileStatus status;
  if (const int error = Sys().Status(handle(), &status)) {
    throw FileError(error, FileOperation::Stat, path_);
  }
  return (status.mode & 01000) && (status.mode & 0022);
}

void Folder::GiveTo(std::uint32_t owner, std::uint32_t group) const noexcept {
  Sys().SetOwner(handle(), owner, group);
}

std::vector<std::string> Folder::Names() const {
  std::vector<std::string> names;
  if (const int error = Sys().ReadNames(handle(), &names)) {
    throw FileError(error, FileOperation::ListFolder, path_);
  }
  return names;
}

void Folder::Remove(const std::string& name) const {
  const int error = Sys().RemoveFile(handle(), name.c_str());
  if (error != 0 && error != ENOENT) {
    throw FileError(error, FileOperation::Remove, PathOf(name));
  }
}

namespace {

// True when the lock on the folder `folder` is another Parcelo operation's:
// this process's, or a process of the runner's whose name starts with
// "parcelo" (parcelo-cli, the window). Another program's or another user's
// lock is not, nor one whose holder the system does not tell.
bool IsParceloLock(Handle folder) {
  LockHolder holder;
  if (Sys().FindLockHolder(folder, &holder) != 0) return false;
  return holder.thisProcess ||
         (holder.name.rfind("parcelo", 0) == 0 && holder.user == Sys().EffectiveUser());
}

}  // namespace

void Folder::Lock() const {
  if (lock_.held()) return;
  for (;;) {
    Handle lock;
    const int error = Sys().Lock(handle(), LockMode::Exclusive, false, &lock);
    if (error == 0) {
      lock_ = HeldLock(handle(), lock);
      return;
    }
    if (error == EINTR) continue;
    if (error != EWOULDBLOCK) throw FileError(error, FileOperation::Lock, path_);
    throw FileError(IsParceloLock(handle()) ? kFolderBusy : kFolderBusyOther, FileOperation::Lock,
                    path_);
  }
}

void Folder::HeldLock::Release() noexcept {
  if (folder_.valid()) Sys().Unlock(std::exchange(folder_, Handle()), lock_);
}

}  // namespace parcelo
