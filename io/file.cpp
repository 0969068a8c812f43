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

File File::OpenRegular(Handle folder, const char* name, bool noFollow, std::string path) {
  OpenOptions options;
  options.noFollow = noFollow;
  Handle handle;
  if (const int error = Sys().Open(folder, name, options, &handle)) {
    // Not following, a symbolic link fails to open with ELOOP.
    throw FileError(error == ELOOP && noFollow ? kSymbolicLink : error, FileOperation::Open,
                    std::move(path));
  }
  File file(handle, std::move(path));
  const FileStatus status = file.Status();
  if (status.kind != FileStatus::Kind::Regular) {
    throw FileError(status.kind == FileStatus::Kind::Folder ? EISDIR : kNotRegularFile,
                    FileOperation::Open, file.path());
  }
  return file;
}

File File::OpenForReading(const std::string& path) {
  return OpenRegular(Handle(), path.c_str(), false, path);
}

File File::OpenEntry(const Folder& folder, const std::string& name) {
  return OpenRegular(folder.handle(), name.c_str(), true, folder.PathOf(name));
}

FileStatus File::Status() const {
  FileStatus status;
  if (const int error = Sys().Status(handle(), &status)) {
    throw FileError(error, FileOperation::Stat, path_);
  }
  return status;
}

std::size_t File::ReadAt(char* buffer, std::size_t count, std::uint64_t offset) const {
  for (;;) {
    std::size_t got = 0;
    const int error = Sys().ReadAt(handle(), buffer, count, offset, &got);
    if (error == 0) return got;
    if (error != EINTR) throw FileError(error, FileOperation::Read, path_);
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
  const Handle handle = handle_.Release();
  if (!handle.valid()) return;
  if (const int error = Sys().Close(handle)) throw FileError(error, FileOperation::Close, path_);
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
