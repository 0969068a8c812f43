#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "io/file.h"

namespace parcelo {

class Folder;

// Refuses, before anything is written, what a ReplacementFile for the entry
// `name` would refuse at its commit: an entry that is not a regular file
// (kSymbolicLink, EISDIR, kNotRegularFile) and a file the runner could not
// write in place (EACCES). Throws FileError naming the entry.
void CheckReplaceable(const Folder& folder, const std::string& name);

// Whether the runner owns `file` (on Windows, where no one does, always).
bool IsRunners(const FileStatus& file);

// Removes the hidden temporaries (regular files named ".parcelo-" and
// eight letters or digits) that a process of the runner's killed while it
// worked in the folder left there; another user's are theirs to remove.
// Only for the holder of the folder's lock, under which no other operation
// works; a temporary that can't be removed stays. Throws FileError when
// the folder can't be read.
void RemoveStaleTemporaries(const Folder& folder);

// A file that takes the place of the entry `name` of a folder only once it
// is complete, as QSaveFile does. The bytes go to a private (0600)
// temporary: an unnamed one where the file system offers it (O_TMPFILE)
// and the run can name it at the commit (through /proc/self/fd or by the
// descriptor; probed once per run, at the first temporary), which leaves
// nothing behind even when the process is killed; otherwise a hidden one in
// the same folder, of a name RemoveStaleTemporaries() knows (17 characters,
// which every file system that takes the target takes).
// An existing file of that name stays as it was until Commit(); a
// ReplacementFile destroyed without Commit() removes its temporary.
//
// The data is not flushed to the disk before the rename (no fsync), as
// GNU split, cat and cp don't: a crash of the whole system soon after a
// commit may lose the new bytes, never the old file while the work runs.
class ReplacementFile {
 public:
  // The owner and group of the files the bytes come from (the split's
  // source, the join's parts); kNoOne where they are several users' or
  // groups.
  struct Origin {
    static constexpr std::uint32_t kNoOne = 0xffffffff;
    std::uint32_t owner = kNoOne, group = kNoOne;
  };

  // Creates the temporary. `newMode`, less the umask, is given to a file
  // that replaces nothing; a replaced file keeps its owner and group where the runner may
  // set them, and at most its permission bits, also limited to
  // `modeLimit`: never setuid, setgid or sticky bits. Given the bytes'
  // `origin`, a replaced file of anyone but its owner becomes the runner's
  // (that user may have put it there to be handed them), and a new file
  // the runner writes from another user's files is theirs, where the
  // runner may say so (root). The temporary is open for reading too, so
  // what was written can be read back from it.
  // Throws FileError naming the target.
  ReplacementFile(const Folder& folder, const std::string& name, std::uint32_t newMode,
                  std::uint32_t modeLimit = 0777, std::optional<Origin> origin = std::nullopt);
  ~ReplacementFile();
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  // The file to write into, readable too (to compare what was written);
  // its path() is the target's.
  const File& file() const { return file_; }
  const std::string& target() const { return file_.path(); }

  // Closes the written temporary until Commit(), which opens it again, so
  // that many can wait for their commit without holding a descriptor each.
  // An unnamed one gets its hidden name first. Throws FileError naming the
  // target; the temporary is still removed when no commit follows.
  void CloseUntilCommit();

  // Sets the final owner and mode, closes the temporary and renames it
  // over the target. Throws FileError naming the target, and the temporary
  // is removed; the old file then stays as it was.
  void Commit();

 private:
  void CreateNamedTemporary();
  void LinkUnnamedTemporary();
  void ReopenTemporary();
  void SetOwnerAndMode();

  const Folder& folder_;
  std::string name_;
  std::uint32_t newMode_;
  std::uint32_t modeLimit_;
  std::optional<Origin> origin_;
  File file_;
  std::string temporary_;  // empty while the temporary has no name
  FileStatus closed_;      // the temporary, while it waits closed for its commit
  bool committed_ = false;
};

}  // namespace parcelo
