// The system-call layer of Windows: the calls of SysCalls made of wide
// Win32 ones. A descriptor is a number of ours for a handle; a folder's
// also keeps the folder's full path, to which the "...At" calls join the
// names they get, since Windows has no openat. Paths cross this boundary as
// UTF-8 and reach the system as UTF-16; long ones get the "\\?\" prefix, so
// the old 260-character limit does not apply.
//
// What POSIX has and Windows lacks: no owners (Fchown does nothing), no
// permission bits but the read-only attribute (Fchmod sets it from the
// owner's write bit; a read-only file reads as mode 0444, others as 0666),
// no umask, no unnamed files, no shared blocks, no hole information (every
// file is all data). A folder's lock is a named semaphore of the session
// keyed by the folder's identity, so other Parcelo processes see it.

#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <mutex>
#include <utility>

#include "io/file_error.h"
#include "io/sys_calls.h"
#include "io/wide_text.h"

namespace parcelo {
namespace {

struct OpenHandle {
  HANDLE handle = INVALID_HANDLE_VALUE;
  std::wstring folder;    // a folder's full path; empty for a file
  HANDLE lock = nullptr;  // the folder's semaphore, while this holds it
};

std::mutex tableMutex;
std::map<int, OpenHandle> table;
int nextDescriptor = 3;

int Fail(int error) {
  errno = error;
  return -1;
}

// The errno value, or one of ours, for a Windows error.
int ErrorNumberFor(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME: return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_NETWORK_ACCESS_DENIED:
    case ERROR_PRIVILEGE_NOT_HELD: return EACCES;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE: return kFileInUse;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return ENOSPC;
    case ERROR_WRITE_PROTECT: return EROFS;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return EEXIST;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME: return kInvalidName;
    case ERROR_FILENAME_EXCED_RANGE: return ENAMETOOLONG;
    case ERROR_DIRECTORY: return ENOTDIR;
    case ERROR_DIR_NOT_EMPTY: return ENOTEMPTY;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY: return ENOMEM;
    case ERROR_TOO_MANY_OPEN_FILES: return EMFILE;
    case ERROR_NOT_SAME_DEVICE: return EXDEV;
    case ERROR_CANT_RESOLVE_FILENAME: return ELOOP;
    case ERROR_FILE_TOO_LARGE: return EFBIG;
    case ERROR_INVALID_HANDLE: return EBADF;
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_GEN_FAILURE:
    case ERROR_IO_DEVICE: return EIO;
    default: return kWindowsError + static_cast<int>(error);
  }
}

int FailWith(DWORD error) { return Fail(ErrorNumberFor(error)); }
int FailWithLast() { return FailWith(GetLastError()); }

// Retries a call that failed because another program holds the file for a
// moment: an antivirus or indexer opens a new file briefly. About a second
// in all.
template <typename Call>
BOOL RetryWhileHeld(Call call) {
  for (int attempt = 1;; ++attempt) {
    if (call()) return TRUE;
    const DWORD error = GetLastError();
    const bool held = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
                      error == ERROR_ACCESS_DENIED;
    if (!held || attempt == 8) return FALSE;
    Sleep(static_cast<DWORD>(25 * attempt));
    SetLastError(error);
  }
}

std::wstring FullPath(const std::wstring& path) {
  std::wstring full(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0) return path;
    if (length < full.size()) {
      full.resize(length);
      return full;
    }
    full.resize(length);
  }
}

// The path to hand to the system: a long one gets the prefix that lifts
// the length limit (and turns off the tidying GetFullPathNameW already did).
std::wstring SystemPath(const std::wstring& full) {
  if (full.size() < MAX_PATH - 12 || full.rfind(L"\\\\?\\", 0) == 0 ||
      full.rfind(L"\\\\.\\", 0) == 0) {
    return full;
  }
  if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

// The full path of `name` in the folder `folderFd` (AT_FDCWD: the current
// folder); nothing when the descriptor is no folder (errno set) or the name
// is one Windows would silently change (a trailing dot or space).
bool PathAt(int folderFd, const char* name, std::wstring* path) {
  const std::wstring wide = WideFromUtf8(name);
  if (folderFd == AT_FDCWD) {
    *path = SystemPath(FullPath(wide));
    return true;
  }
  if (!wide.empty() && wide != L"." && wide != L".." &&
      (wide.back() == L'.' || wide.back() == L' ')) {
    Fail(kInvalidName);
    return false;
  }
  const std::lock_guard lock(tableMutex);
  const auto entry = table.find(folderFd);
  if (entry == table.end() || entry->second.folder.empty()) {
    Fail(entry == table.end() ? EBADF : ENOTDIR);
    return false;
  }
  const std::wstring& folder = entry->second.folder;
  const bool separated = folder.back() == L'\\' || folder.back() == L'/';
  *path = SystemPath(wide == L"." ? folder : folder + (separated ? L"" : L"\\") + wide);
  return true;
}

HANDLE HandleOf(int fd) {
  const std::lock_guard lock(tableMutex);
  const auto entry = table.find(fd);
  if (entry == table.end()) {
    errno = EBADF;
    return INVALID_HANDLE_VALUE;
  }
  return entry->second.handle;
}

int Remember(HANDLE handle, std::wstring folder) {
  const std::lock_guard lock(tableMutex);
  const int fd = nextDescriptor++;
  table[fd] = {handle, std::move(folder), nullptr};
  return fd;
}

// True when the handle, opened with FILE_FLAG_OPEN_REPARSE_POINT (from
// `path`, where given), is a symbolic link or a junction itself; other
// reparse points, such as files a cloud service keeps, are what they hold.
// Wine opens a host's symbolic link to a folder as the folder and shows the
// link only in the path's attributes (a reparse point without a tag): a
// reparse point that the path has and the handle hasn't is taken for a link.
bool IsLink(HANDLE handle, const std::wstring* path) {
  FILE_ATTRIBUTE_TAG_INFO tag{};
  if (!GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &tag, sizeof tag)) return false;
  if (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
    return tag.ReparseTag == IO_REPARSE_TAG_SYMLINK || tag.ReparseTag == IO_REPARSE_TAG_MOUNT_POINT;
  }
  const DWORD attributes = path ? GetFileAttributesW(path->c_str()) : INVALID_FILE_ATTRIBUTES;
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// The status of an open handle; `path`, where given, is the entry it was
// opened from, never followed.
int StatusOf(HANDLE handle, FileStatus* status, const std::wstring* path = nullptr) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileType(handle) != FILE_TYPE_DISK) {
    *status = FileStatus{};  // a console, a pipe, a device: Kind::Other
    return 0;
  }
  if (!GetFileInformationByHandle(handle, &info)) return FailWithLast();
  FileStatus result;
  const bool folder = info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
  result.kind = IsLink(handle, path) ? FileStatus::Kind::SymbolicLink
                : folder             ? FileStatus::Kind::Folder
                                     : FileStatus::Kind::Regular;
  result.device = info.dwVolumeSerialNumber;
  result.inode = (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
  result.size = folder ? 0 : (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
  result.allocated = result.size;  // no holes: every byte is written
  result.mode = (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
  if (folder) result.mode |= 0111;
  // FILETIME counts 100 ns from 1601; 1970 came 11644473600 s later.
  const auto written =
      static_cast<std::int64_t>((std::uint64_t{info.ftLastWriteTime.dwHighDateTime} << 32) |
                                info.ftLastWriteTime.dwLowDateTime);
  result.modified = (written - 116444736000000000) * 100;
  *status = result;
  return 0;
}

// Where a read or write starts: both halves of the 64-bit offset.
OVERLAPPED OffsetOf(std::uint64_t offset) {
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(offset);
  at.OffsetHigh = static_cast<DWORD>(offset >> 32);
  return at;
}

// One call moves at most 1 GiB (a DWORD count).
DWORD ChunkOf(std::size_t count) {
  return static_cast<DWORD>(std::min<std::size_t>(count, 1u << 30));
}

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Opens an entry to look at, never through a link at its end.
HANDLE OpenToLookAt(const std::wstring& path) {
  return CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                     FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

}  // namespace

int SysCalls::OpenAt(int folderFd, const char* name, int flags, std::uint32_t mode) {
  std::wstring path;
  if (!PathAt(folderFd, name, &path)) return -1;
  const int access = flags & (O_RDONLY | O_WRONLY | O_RDWR);
  DWORD rights = access == O_WRONLY ? GENERIC_WRITE
                 : access == O_RDWR ? GENERIC_READ | GENERIC_WRITE
                                    : GENERIC_READ;
  if (flags & O_DIRECTORY) rights = FILE_READ_ATTRIBUTES;
  const DWORD disposition = (flags & O_CREAT) && (flags & O_EXCL)    ? CREATE_NEW
                            : (flags & O_CREAT) && (flags & O_TRUNC) ? CREATE_ALWAYS
                            : (flags & O_CREAT)                      ? OPEN_ALWAYS
                            : (flags & O_TRUNC)                      ? TRUNCATE_EXISTING
                                                                     : OPEN_EXISTING;
  DWORD attributes =
      (flags & O_CREAT) && !(mode & 0200) ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL;
  // Folders open only with the backup flag; a folder opened as a file is
  // then refused by its status, as on POSIX systems (EISDIR).
  attributes |= FILE_FLAG_BACKUP_SEMANTICS;
  if (flags & O_NOFOLLOW) attributes |= FILE_FLAG_OPEN_REPARSE_POINT;
  const HANDLE handle =
      CreateFileW(path.c_str(), rights, kShareAll, nullptr, disposition, attributes, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return FailWithLast();
  if ((flags & O_NOFOLLOW) && IsLink(handle, &path)) {
    CloseHandle(handle);
    return Fail(ELOOP);
  }
  if (flags & O_DIRECTORY) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle, &info) ||
        !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      CloseHandle(handle);
      return Fail(ENOTDIR);
    }
    std::wstring folder = path.rfind(L"\\\\?\\", 0) == 0 && path.rfind(L"\\\\?\\UNC\\", 0) != 0
                              ? path.substr(4)
                          : path.rfind(L"\\\\?\\UNC\\", 0) == 0 ? L"\\\\" + path.substr(8)
                                                                : path;
    return Remember(handle, std::move(folder));
  }
  return Remember(handle, {});
}

ssize_t SysCalls::Pread(int fd, void* buffer, std::size_t count, std::uint64_t offset) {
  const HANDLE handle = HandleOf(fd);
  if (handle == INVALID_HANDLE_VALUE) return -1;
  OVERLAPPED at = OffsetOf(offset);
  DWORD got = 0;
  if (!ReadFile(handle, buffer, ChunkOf(count), &got, &at)) {
    if (GetLastError() == ERROR_HANDLE_EOF) return 0;
    return FailWithLast();
  }
  return got;
}

ssize_t SysCalls::Pwrite(int fd, const void* buffer, std::size_t count, std::uint64_t offset) {
  const HANDLE handle = HandleOf(fd);
  if (handle == INVALID_HANDLE_VALUE) return -1;
  OVERLAPPED at = OffsetOf(offset);
  DWORD wrote = 0;
  if (!WriteFile(handle, buffer, ChunkOf(count), &wrote, &at)) return FailWithLast();
  return wrote;
}

int SysCalls::Close(int fd) {
  OpenHandle open;
  {
    const std::lock_guard lock(tableMutex);
    const auto entry = table.find(fd);
    if (entry == table.end()) return Fail(EBADF);
    open = entry->second;
    table.erase(entry);
  }
  if (open.lock) {
    ReleaseSemaphore(open.lock, 1, nullptr);
    CloseHandle(open.lock);
  }
  return CloseHandle(open.handle) ? 0 : FailWithLast();
}

int SysCalls::Fstat(int fd, FileStatus* status) {
  const HANDLE handle = HandleOf(fd);
  if (handle == INVALID_HANDLE_VALUE) return -1;
  return StatusOf(handle, status);
}

int SysCalls::LstatAt(int folderFd, const char* name, FileStatus* status) {
  std::wstring path;
  if (!PathAt(folderFd, name, &path)) return -1;
  const HANDLE handle = OpenToLookAt(path);
  if (handle == INVALID_HANDLE_VALUE) return FailWithLast();
  const int result = StatusOf(handle, status, &path);
  CloseHandle(handle);
  return result;
}

int SysCalls::AccessAt(int folderFd, const char* name, int mode) {
  std::wstring path;
  if (!PathAt(folderFd, name, &path)) return -1;
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return FailWithLast();
  if (!(mode & W_OK)) return 0;
  // Windows refuses to replace or write a read-only file, even for its
  // owner and for administrators.
  if ((attributes & FILE_ATTRIBUTE_READONLY) && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return Fail(EACCES);
  }
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return 0;
  HANDLE handle = INVALID_HANDLE_VALUE;
  const BOOL opened = RetryWhileHeld([&] {
    handle = CreateFileW(path.c_str(), FILE_WRITE_DATA, kShareAll, nullptr, OPEN_EXISTING,
                         FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    return handle != INVALID_HANDLE_VALUE;
  });
  if (!opened) return FailWithLast();
  CloseHandle(handle);
  return 0;
}

int SysCalls::Fchmod(int fd, std::uint32_t mode) {
  const HANDLE handle = HandleOf(fd);
  if (handle == INVALID_HANDLE_VALUE) return -1;
  FILE_BASIC_INFO info{};
  if (!GetFileInformationByHandleEx(handle, FileBasicInfo, &info, sizeof info))
    return FailWithLast();
  const DWORD before = info.FileAttributes;
  info.FileAttributes =
      (mode & 0200) ? before & ~DWORD{FILE_ATTRIBUTE_READONLY} : before | FILE_ATTRIBUTE_READONLY;
  if (info.FileAttributes == before) return 0;
  if (info.FileAttributes == 0) info.FileAttributes = FILE_ATTRIBUTE_NORMAL;
  return SetFileInformationByHandle(handle, FileBasicInfo, &info, sizeof info) ? 0 : FailWithLast();
}

int SysCalls::Fchown(int, std::uint32_t, std::uint32_t) { return 0; }

int SysCalls::SetFlags(int fd, int) { return HandleOf(fd) == INVALID_HANDLE_VALUE ? -1 : 0; }

int SysCalls::GetFlags(int fd) { return HandleOf(fd) == INVALID_HANDLE_VALUE ? -1 : 0; }

int SysCalls::MkdirAt(int folderFd, const char* name, std::uint32_t) {
  std::wstring path;
  if (!PathAt(folderFd, name, &path)) return -1;
  return CreateDirectoryW(path.c_str(), nullptr) ? 0 : FailWithLast();
}

int SysCalls::UnlinkAt(int folderFd, const char* name, int flags) {
  std::wstring path;
  if (!PathAt(folderFd, name, &path)) return -1;
  const BOOL removed = RetryWhileHeld([&] {
    return (flags & AT_REMOVEDIR) ? RemoveDirectoryW(path.c_str()) : DeleteFileW(path.c_str());
  });
  return removed ? 0 : FailWithLast();
}

int SysCalls::RenameAt(int folderFd, const char* from, const char* to) {
  std::wstring fromPath, toPath;
  if (!PathAt(folderFd, from, &fromPath) || !PathAt(folderFd, to, &toPath)) return -1;
  const BOOL moved = RetryWhileHeld(
      [&] { return MoveFileExW(fromPath.c_str(), toPath.c_str(), MOVEFILE_REPLACE_EXISTING); });
  return moved ? 0 : FailWithLast();
}

int SysCalls::LinkUnnamed(int, int, const char*) { return Fail(EOPNOTSUPP); }

int SysCalls::LinkUnnamedByDescriptor(int, int, const char*) { return Fail(EOPNOTSUPP); }

int SysCalls::Flock(int fd, int operation) {
  HANDLE handle = INVALID_HANDLE_VALUE;
  {
    const std::lock_guard lock(tableMutex);
    const auto entry = table.find(fd);
    if (entry == table.end()) return Fail(EBADF);
    HANDLE& held = entry->second.lock;
    if (held || (operation & LOCK_UN)) {
      if (held && (operation & LOCK_UN)) {
        ReleaseSemaphore(held, 1, nullptr);
        CloseHandle(std::exchange(held, nullptr));
      }
      return 0;
    }
    handle = entry->second.handle;
  }
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(handle, &info)) return FailWithLast();
  wchar_t name[80];
  swprintf(name, sizeof name / sizeof name[0], L"Local\\Parcelo.Folder.%08lx.%08lx%08lx",
           info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow);
  const HANDLE semaphore = CreateSemaphoreW(nullptr, 1, 1, name);
  if (!semaphore) return FailWithLast();
  // Waited for outside the table, which every other descriptor needs.
  if (WaitForSingleObject(semaphore, (operation & LOCK_NB) ? 0 : INFINITE) != WAIT_OBJECT_0) {
    CloseHandle(semaphore);
    return Fail(EWOULDBLOCK);
  }
  const std::lock_guard lock(tableMutex);
  const auto entry = table.find(fd);
  if (entry == table.end()) {
    ReleaseSemaphore(semaphore, 1, nullptr);
    CloseHandle(semaphore);
    return Fail(EBADF);
  }
  entry->second.lock = semaphore;
  return 0;
}

// Only Parcelo takes a folder's semaphore, and only in this session: the
// holder is a Parcelo process of the runner's.
int SysCalls::FlockHolder(int fd, LockHolder* holder) {
  if (HandleOf(fd) == INVALID_HANDLE_VALUE) return -1;
  holder->name = "parcelo";
  holder->user = EffectiveUser();
  holder->thisProcess = false;
  return 0;
}

int SysCalls::ReadNames(int folderFd, std::vector<std::string>* names) {
  std::wstring pattern;
  if (!PathAt(folderFd, ".", &pattern)) return -1;
  pattern += pattern.back() == L'\\' ? L"*" : L"\\*";
  WIN32_FIND_DATAW entry{};
  const HANDLE search = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &entry,
                                         FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (search == INVALID_HANDLE_VALUE) {
    return GetLastError() == ERROR_FILE_NOT_FOUND ? 0 : FailWithLast();  // an empty drive root
  }
  do {
    // Hidden and system entries (desktop.ini, Thumbs.db, ...) are not the user's files.
    const std::wstring_view name = entry.cFileName;
    if (name == L"." || name == L".." ||
        (entry.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))) {
      continue;
    }
    names->push_back(Utf8FromWide(name));
  } while (FindNextFileW(search, &entry));
  const DWORD error = GetLastError();
  FindClose(search);
  return error == ERROR_NO_MORE_FILES ? 0 : FailWith(error);
}

int SysCalls::CloneRange(int, std::uint64_t, int, std::uint64_t, std::uint64_t) {
  return Fail(EOPNOTSUPP);
}

// No hole information: data up to the end, the end the only hole.
std::int64_t SysCalls::SeekData(int fd, std::uint64_t offset) {
  FileStatus status;
  if (Fstat(fd, &status) != 0) return -1;
  return offset < status.size ? static_cast<std::int64_t>(offset) : Fail(ENXIO);
}

std::int64_t SysCalls::SeekHole(int fd, std::uint64_t offset) {
  FileStatus status;
  if (Fstat(fd, &status) != 0) return -1;
  return offset < status.size ? static_cast<std::int64_t>(status.size) : Fail(ENXIO);
}

int SysCalls::Ftruncate(int fd, std::uint64_t length) {
  const HANDLE handle = HandleOf(fd);
  if (handle == INVALID_HANDLE_VALUE) return -1;
  FILE_END_OF_FILE_INFO end{};
  end.EndOfFile.QuadPart = static_cast<LONGLONG>(length);
  return SetFileInformationByHandle(handle, FileEndOfFileInfo, &end, sizeof end) ? 0
                                                                                 : FailWithLast();
}

int SysCalls::FreeSpace(int folderFd, std::uint64_t* bytes) {
  std::wstring path;
  if (!PathAt(folderFd, ".", &path)) return -1;
  if (path.back() != L'\\') path.push_back(L'\\');
  ULARGE_INTEGER available{};
  if (!GetDiskFreeSpaceExW(path.c_str(), &available, nullptr, nullptr)) return FailWithLast();
  *bytes = available.QuadPart;
  return 0;
}

int SysCalls::LargestFile(int folderFd, std::uint64_t* bytes) {
  const HANDLE handle = HandleOf(folderFd);
  if (handle == INVALID_HANDLE_VALUE) return -1;
  wchar_t system[MAX_PATH + 1] = {};
  if (!GetVolumeInformationByHandleW(handle, nullptr, 0, nullptr, nullptr, nullptr, system,
                                     MAX_PATH + 1)) {
    return FailWithLast();
  }
  // FAT keeps a file's length in 32 bits.
  const std::wstring name = system;
  *bytes = name == L"FAT" || name == L"FAT32" ? 0xFFFFFFFFu : UINT64_MAX;
  return 0;
}

std::uint32_t SysCalls::Umask() { return 0; }

std::uint32_t SysCalls::EffectiveUser() { return 0; }  // every owner reads as 0

// Handles have no per-process limit that a program could meet here.
int SysCalls::GetOpenFileLimit(std::uint64_t* soft, std::uint64_t* hard) {
  *soft = *hard = UINT64_MAX;
  return 0;
}

int SysCalls::SetOpenFileLimit(std::uint64_t) { return 0; }

}  // namespace parcelo
