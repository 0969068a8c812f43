#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "io/file_status.h"
#include "io/handle.h"

namespace parcelo {

// An open folder: the entries of a part set are reached through it, so a
// folder renamed or swapped while the work goes on can't redirect them.
// Errors name the folder or its entry. The destructor closes it, which
// also lets go of its lock.
class Folder {
 public:
  Folder() = default;
  Folder(Folder&&) = default;
  // Lets go of this folder's lock before its handle closes.
  Folder& operator=(Folder&& other) noexcept {
    lock_ = std::move(other.lock_);
    handle_ = std::move(other.handle_);
    path_ = std::move(other.path_);
    return *this;
  }

  // Opens the folder at `path` (symbolic links followed: the user named
  // it). Throws FileError (ENOTDIR, ENOENT, EACCES, ...) naming it.
  static Folder Open(const std::string& path);

  // Opens the child folder `name`, never through a symbolic link
  // (kSymbolicLink). Throws FileError naming it.
  Folder OpenChild(const std::string& name) const;

  // Creates the child folder `name`; throws FileError naming it (EEXIST
  // when something of that name is there already).
  void MakeChild(const std::string& name) const;

  // Removes the child folder `name` if it is empty; says whether it did.
  bool RemoveChildIfEmpty(const std::string& name) const noexcept;

  Handle handle() const { return handle_.get(); }

  // The path of an entry, as messages name it: the folder, a separator, the name.
  std::string PathOf(const std::string& name) const;

  // The folder's own path, as messages name it.
  const std::string& path() const { return path_; }

  // Returns the status of the entry `name` (a symbolic link itself, never
  // its target), nothing when there is no such entry; throws FileError.
  std::optional<FileStatus> Status(const std::string& name) const;

  // Returns 0 when the runner may write into the entry `name` in place,
  // otherwise why not (EACCES, EROFS, ...).
  int WriteAccessError(const std::string& name) const;

  // Whether users other than the folder's owner may add entries to it but
  // remove only their own (a sticky folder its group or everyone may write
  // to, such as /tmp): an entry's owner tells who put it there. Throws
  // FileError.
  bool IsSharedSticky() const;

  // Gives the folder to that owner and group where the runner may (root);
  // otherwise it stays as it is.
  void GiveTo(std::uint32_t owner, std::uint32_t group) const noexcept;

  // Returns the names of every entry, hidden ones included, in no order;
  // throws FileError when the folder can't be read.
  std::vector<std::string> Names() const;

  // Removes the entry `name`; no such entry is fine. Throws FileError.
  void Remove(const std::string& name) const;

  // Takes the folder for this operation alone (an advisory lock that other
  // Parcelo processes respect, released when the folder is closed).
  // Throws FileError kFolderBusy when another Parcelo operation of the
  // runner's holds it, kFolderBusyOther when another program or user does
  // or the system does not tell who.
  void Lock() const;

 private:
  Folder(Handle handle, std::string path) : handle_(handle), path_(std::move(path)) {}

  // A lock held on the folder, let go of before the folder closes.
  class HeldLock {
   public:
    HeldLock() = default;
    HeldLock(Handle folder, Handle lock) : folder_(folder), lock_(lock) {}
    HeldLock(HeldLock&& other) noexcept
        : folder_(std::exchange(other.folder_, Handle())), lock_(other.lock_) {}
    HeldLock& operator=(HeldLock&& other) noexcept {
      if (this != &other) {
        Release();
        folder_ = std::exchange(other.folder_, Handle());
        lock_ = other.lock_;
      }
      return *this;
    }
    ~HeldLock() { Release(); }
    bool held() const { return folder_.valid(); }

   private:
    void Release() noexcept;

    Handle folder_;  // none when no lock is held
    Handle lock_;
  };

  OwnedHandle handle_;
  std::string path_;
  mutable HeldLock lock_;  // declared last: goes first
};

}  // namespace parcelo
