#include "io/file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <utility>

#include "io/file_error.h"
#include "io/folder.h"
#include "io/sys_calls.h"

namespace parcelo {

File File::OpenRegular(int folderFd, const char* name, int extraFlags, std::string path) {
  const int fd = Sys().OpenAt(folderFd, name, O_RDONLY | O_NONBLOCK | O_NOCTTY | extraFlags, 0);
  if (fd < 0) {
    // With O_NOFOLLOW a symbolic link fails to open with ELOOP.
    const int code = (errno == ELOOP && (extraFlags & O_NOFOLLOW)) ? kSymbolicLink : errno;
    throw FileError(code, FileOperation::Open, std::move(path));
  }
  File file(fd, std::move(path));
  const FileStatus status = file.Status();
  if (status.kind != FileStatus::Kind::Regular) {
    throw FileError(status.kind == FileStatus::Kind::Folder ? EISDIR : kNotRegularFile,
                    FileOperation::Open, file.path());
  }
  const int flags = Sys().GetFlags(fd);
  if (flags < 0 || Sys().SetFlags(fd, flags & ~O_NONBLOCK) != 0) {
    throw FileError(errno, FileOperation::Open, file.path());
  }
  return file;
}

File File::OpenForReading(const std::string& path) {
  return OpenRegular(AT_FDCWD, path.c_str(), 0, path);
}

File File::OpenEntry(const Folder& folder, const std::string& name) {
  return OpenRegular(folder.fd(), name.c_str(), O_NOFOLLOW, folder.PathOf(name));
}

FileStatus File::Status() const {
  FileStatus status;
  if (Sys().Fstat(fd(), &status) != 0) throw FileError(errno, FileOperation::Stat, path_);
  return status;
}

std::size_t File::ReadAt(char* buffer, std::size_t count, std::uint64_t offset) const {
  for (;;) {
    const ssize_t got = Sys().Pread(fd(), buffer, count, offset);
    if (got >= 0) return static_cast<std::size_t>(got);
    if (errno != EINTR) throw FileError(errno, FileOperation::Read, path_);
  }
}

std::string File::ReadStart(std::size_t limit) const {
  std::string bytes(limit, '\0');
  std::size_t filled = 0;
  while (filled < limit) {
    const std::size_t got = ReadAt(bytes.data() + filled, limit - filled, filled);
    if (got == 0) break;
    filled += got;
  }
  bytes.resize(filled);
  return bytes;
}

void File::Close() {
  const int fd = fd_.Release();
  if (fd >= 0 && Sys().Close(fd) != 0) throw FileError(errno, FileOperation::Close, path_);
}

namespace {

// Fills `buffer` with `count` bytes at `offset`; a file that ends first
// has changed under us (kUnexpectedEnd).
void ReadFully(const File& file, char* buffer, std::size_t count, std::uint64_t offset) {
  for (std::size_t filled = 0; filled < count;) {
    const std::size_t got = file.ReadAt(buffer + filled, count - filled, offset + filled);
    if (got == 0) throw FileError(kUnexpectedEnd, FileOperation::Read, file.path());
    filled += got;
  }
}

}  // namespace

bool SameContent(const File& one, const File& other, const Compared& compared) {
  constexpr std::size_t kChunk = 1u << 18;
  const std::uint64_t size = one.Size();
  if (other.Size() != size) return false;
  const auto buffers = std::make_unique<char[]>(2 * kChunk);
  for (std::uint64_t offset = 0; offset < size;) {
    const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, size - offset));
    ReadFully(one, buffers.get(), count, offset);
    ReadFully(other, buffers.get() + kChunk, count, offset);
    if (std::memcmp(buffers.get(), buffers.get() + kChunk, count) != 0) return false;
    offset += count;
    if (compared) compared(count);
  }
  return true;
}

}  // namespace parcelo
