#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "io/file_status.h"
#include "io/handle.h"

namespace parcelo {

class Folder;

// An open file with the path that errors about it name. The
// destructor closes quietly; files that were written are closed through
// Close(), whose result counts.
class File {
 public:
  File() = default;
  File(Handle handle, std::string path) : handle_(handle), path_(std::move(path)) {}

  // Opens a file the user named for reading, following symbolic links.
  // Never blocks on a FIFO or device; throws FileError (kNotRegularFile,
  // EISDIR) when it is not a regular file, or when it can't be opened.
  static File OpenForReading(const std::string& path);

  // Opens the entry `name` of a folder for reading without following a
  // symbolic link (kSymbolicLink) and without blocking; throws FileError
  // naming it when it is not a regular file or can't be opened.
  static File OpenEntry(const Folder& folder, const std::string& name);

  Handle handle() const { return handle_.get(); }
  const std::string& path() const { return path_; }

  // Returns the open file's status; throws FileError.
  FileStatus Status() const;

  // Returns the file's length in bytes; throws FileError.
  std::uint64_t Size() const { return Status().size; }

  // Reads up to `count` bytes at `offset`, retrying interrupted calls.
  // Returns the bytes read, 0 at the end of the file; throws FileError.
  std::size_t ReadAt(char* buffer, std::size_t count, std::uint64_t offset) const;

  // Returns the first `limit` bytes of the file, fewer when it is
  // shorter; throws FileError.
  std::string ReadStart(std::size_t limit) const;

  // Closes the file, never retried; throws FileError when the close fails
  // (for a written file that can mean its data did not reach the disk).
  void Close();

 private:
  // Opens without blocking and refuses what is not a regular file.
  static File OpenRegular(Handle folder, const char* name, bool noFollow, std::string path);

  OwnedHandle handle_;
  std::string path_;
};

// Told the bytes compared after every chunk; it may throw to stop there.
using Compared = std::function<void(std::uint64_t bytes)>;

// True when two open files hold the same bytes: the same length, then
// equal chunk by chunk through two buffers of fixed size (holes read as
// zero bytes), stopping at the first difference. Throws FileError naming
// the file a read failed on, kUnexpectedEnd when one ends before its length.
bool SameContent(const File& one, const File& other, const Compared& compared = {});

}  // namespace parcelo
