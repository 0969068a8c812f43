#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace parcelo {

// An open file descriptor with the path that errors about it name. The
// destructor closes quietly; files that were written are closed through
// Close(), whose result counts.
class File {
 public:
  File() = default;
  File(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  ~File();

  // Opens a regular file for reading; throws FileError when it can't be
  // opened or is a folder, device or the like.
  static File OpenForReading(const std::string& path);

  int fd() const { return fd_; }
  const std::string& path() const { return path_; }
  bool is_open() const { return fd_ >= 0; }

  // Returns the file's length in bytes; throws FileError.
  std::uint64_t Size() const;

  // Reads up to `count` bytes at `offset`, retrying interrupted calls.
  // Returns the bytes read, 0 at the end of the file; throws FileError.
  std::size_t ReadAt(char* buffer, std::size_t count, std::uint64_t offset) const;

  // Closes the file, never retried; throws FileError when the close fails
  // (for a written file that can mean its data did not reach the disk).
  void Close();

 private:
  int fd_ = -1;
  std::string path_;
};

// True when two paths name one file (same device and inode), however they
// are spelled; false when either does not exist.
bool IsSameFile(const std::string& a, const std::string& b);

// True when the path names the same file as the open file.
bool IsSameFile(const File& open, const std::string& path);

}  // namespace parcelo
