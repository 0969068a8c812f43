#include "io/file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <utility>

#include "io/file_error.h"
#include "io/sys_calls.h"

namespace parcelo {

File::File(File&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), path_(std::move(other.path_)) {}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) Sys().Close(fd_);
    fd_ = std::exchange(other.fd_, -1);
    path_ = std::move(other.path_);
  }
  return *this;
}

File::~File() {
  if (fd_ >= 0) Sys().Close(fd_);
}

File File::OpenForReading(const std::string& path) {
  const int fd = Sys().Open(path.c_str(), O_RDONLY, 0);
  if (fd < 0) throw FileError(errno, FileOperation::Open, path);
  File file(fd, path);
  struct stat status {};
  if (Sys().Fstat(fd, &status) != 0) throw FileError(errno, FileOperation::Stat, path);
  if (!S_ISREG(status.st_mode)) {
    throw FileError(S_ISDIR(status.st_mode) ? EISDIR : kNotRegularFile, FileOperation::Open, path);
  }
  return file;
}

std::uint64_t File::Size() const {
  struct stat status {};
  if (Sys().Fstat(fd_, &status) != 0) throw FileError(errno, FileOperation::Stat, path_);
  return static_cast<std::uint64_t>(status.st_size);
}

std::size_t File::ReadAt(char* buffer, std::size_t count, std::uint64_t offset) const {
  for (;;) {
    const ssize_t got = Sys().Pread(fd_, buffer, count, offset);
    if (got >= 0) return static_cast<std::size_t>(got);
    if (errno != EINTR) throw FileError(errno, FileOperation::Read, path_);
  }
}

void File::Close() {
  const int fd = std::exchange(fd_, -1);
  if (fd >= 0 && Sys().Close(fd) != 0) throw FileError(errno, FileOperation::Close, path_);
}

namespace {

bool SameIdentity(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace

bool IsSameFile(const std::string& a, const std::string& b) {
  struct stat first {}, second {};
  return Sys().Stat(a.c_str(), &first) == 0 && Sys().Stat(b.c_str(), &second) == 0 &&
         SameIdentity(first, second);
}

bool IsSameFile(const File& open, const std::string& path) {
  struct stat first {}, second {};
  return Sys().Fstat(open.fd(), &first) == 0 && Sys().Stat(path.c_str(), &second) == 0 &&
         SameIdentity(first, second);
}

}  // namespace parcelo
