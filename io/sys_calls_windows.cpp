// The system-call layer of Windows: the calls of SysCalls made of wide
// Win32 ones on HANDLEs. A name in an open folder is joined to the path the
// system gives for the folder's handle (GetFinalPathNameByHandleW), so a
// folder renamed while open is still the one reached. Paths cross this
// boundary as UTF-8 and reach the system as UTF-16; long ones get the
// "\\?\" prefix, so the old 260-character limit does not apply.
//
// What POSIX has and Windows lacks: no owners (SetOwner does nothing), no
// permission bits but the read-only attribute (SetMode sets it from the
// owner's write bit; a read-only file reads as mode 0444, others as 0666),
// no umask, no unnamed files, no shared blocks, no hole information (every
// file is all data). A folder's lock is a named semaphore of the session
// keyed by the folder's identity, so other Parcelo processes see it; every
// lock there is exclusive.

#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <cwchar>

#include "io/file_error.h"
#include "io/sys_calls.h"
#include "io/windows_wide_text.h"

namespace parcelo {
namespace {

HANDLE Native(Handle handle) { return reinterpret_cast<HANDLE>(handle.value()); }
Handle Ours(HANDLE handle) { return Handle(reinterpret_cast<std::intptr_t>(handle)); }

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

int LastError() { return ErrorNumberFor(GetLastError()); }
int Result(BOOL done) { return done ? 0 : LastError(); }

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

// Calls `get` with a buffer until the text fits; the empty text when it
// fails (0).
template <typename Get>
std::wstring GrowingText(Get get) {
  std::wstring text(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = get(text.data(), static_cast<DWORD>(text.size()));
    if (length == 0) return {};
    if (length < text.size()) {
      text.resize(length);
      return text;
    }
    text.resize(length);
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

// The full path of `name` in `folder` (none: the name is a path of its
// own). Refuses a name Windows would silently change (a trailing dot or
// space) with kInvalidName.
int PathIn(Handle folder, const char* name, std::wstring* path) {
  const std::wstring wide = WideFromUtf8(name);
  if (!folder.valid()) {
    std::wstring full = GrowingText([&](wchar_t* buffer, DWORD size) {
      return GetFullPathNameW(wide.c_str(), size, buffer, nullptr);
    });
    *path = SystemPath(full.empty() ? wide : full);
    return 0;
  }
  if (!wide.empty() && wide != L"." && wide != L".." &&
      (wide.back() == L'.' || wide.back() == L' ')) {
    return kInvalidName;
  }
  // "\\?\C:\..." or "\\?\UNC\server\share\...": already the system's form.
  const std::wstring place = GrowingText([&](wchar_t* buffer, DWORD size) {
    return GetFinalPathNameByHandleW(Native(folder), buffer, size, FILE_NAME_NORMALIZED);
  });
  if (place.empty()) return LastError();
  const bool separated = place.back() == L'\\';
  *path = wide == L"." ? place : place + (separated ? L"" : L"\\") + wide;
  return 0;
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
  if (!GetFileInformationByHandle(handle, &info)) return LastError();
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

int SysCalls::Open(Handle folder, const char* name, const OpenOptions& options, Handle* opened) {
  using Access = OpenOptions::Access;
  using Creation = OpenOptions::Creation;
  if (options.creation == Creation::CreateUnnamed) return EOPNOTSUPP;
  std::wstring path;
  if (const int error = PathIn(folder, name, &path)) return error;
  DWORD rights = options.access == Access::Write       ? GENERIC_WRITE
                 : options.access == Access::ReadWrite ? GENERIC_READ | GENERIC_WRITE
                                                       : GENERIC_READ;
  if (options.folder) rights = FILE_READ_ATTRIBUTES;
  const bool create = options.creation == Creation::CreateExclusive;
  DWORD attributes =
      create && !(options.mode & 0200) ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL;
  // Folders open only with the backup flag; a folder opened as a file is
  // then refused by its status, as on POSIX systems (EISDIR).
  attributes |= FILE_FLAG_BACKUP_SEMANTICS;
  if (options.noFollow) attributes |= FILE_FLAG_OPEN_REPARSE_POINT;
  const HANDLE handle = CreateFileW(path.c_str(), rights, kShareAll, nullptr,
                                    create ? CREATE_NEW : OPEN_EXISTING, attributes, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return LastError();
  if (options.noFollow && IsLink(handle, &path)) {
    CloseHandle(handle);
    return ELOOP;
  }
  if (options.folder) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle, &info) ||
        !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      CloseHandle(handle);
      return ENOTDIR;
    }
  }
  *opened = Ours(handle);
  return 0;
}

int SysCalls::Close(Handle handle) { return Result(CloseHandle(Native(handle))); }

int SysCalls::ReadAt(Handle file, void* buffer, std::size_t count, std::uint64_t offset,
                     std::size_t* done) {
  OVERLAPPED at = OffsetOf(offset);
  DWORD got = 0;
  if (!ReadFile(Native(file), buffer, ChunkOf(count), &got, &at)) {
    if (GetLastError() != ERROR_HANDLE_EOF) return LastError();
    got = 0;
  }
  *done = got;
  return 0;
}

int SysCalls::WriteAt(Handle file, const void* buffer, std::size_t count, std::uint64_t offset,
                      std::size_t* done) {
  OVERLAPPED at = OffsetOf(offset);
  DWORD wrote = 0;
  if (!WriteFile(Native(file), buffer, ChunkOf(count), &wrote, &at)) return LastError();
  *done = wrote;
  return 0;
}

int SysCalls::Status(Handle handle, FileStatus* status) { return StatusOf(Native(handle), status); }

int SysCalls::EntryStatus(Handle folder, const char* name, FileStatus* status) {
  std::wstring path;
  if (const int error = PathIn(folder, name, &path)) return error;
  const HANDLE handle = OpenToLookAt(path);
  if (handle == INVALID_HANDLE_VALUE) return LastError();
  const int error = StatusOf(handle, status, &path);
  CloseHandle(handle);
  return error;
}

int SysCalls::CheckWritable(Handle folder, const char* name) {
  std::wstring path;
  if (const int error = PathIn(folder, name, &path)) return error;
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return LastError();
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return 0;
  // Windows refuses to replace or write a read-only file, even for its
  // owner and for administrators.
  if (attributes & FILE_ATTRIBUTE_READONLY) return EACCES;
  HANDLE handle = INVALID_HANDLE_VALUE;
  const BOOL opened = RetryWhileHeld([&] {
    handle = CreateFileW(path.c_str(), FILE_WRITE_DATA, kShareAll, nullptr, OPEN_EXISTING,
                         FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    return handle != INVALID_HANDLE_VALUE;
  });
  if (!opened) return LastError();
  CloseHandle(handle);
  return 0;
}

int SysCalls::SetMode(Handle file, std::uint32_t mode) {
  FILE_BASIC_INFO info{};
  if (!GetFileInformationByHandleEx(Native(file), FileBasicInfo, &info, sizeof info)) {
    return LastError();
  }
  const DWORD before = info.FileAttributes;
  info.FileAttributes =
      (mode & 0200) ? before & ~DWORD{FILE_ATTRIBUTE_READONLY} : before | FILE_ATTRIBUTE_READONLY;
  if (info.FileAttributes == before) return 0;
  if (info.FileAttributes == 0) info.FileAttributes = FILE_ATTRIBUTE_NORMAL;
  return Result(SetFileInformationByHandle(Native(file), FileBasicInfo, &info, sizeof info));
}

int SysCalls::SetOwner(Handle, std::uint32_t, std::uint32_t) { return 0; }

int SysCalls::SetSize(Handle file, std::uint64_t length) {
  FILE_END_OF_FILE_INFO end{};
  end.EndOfFile.QuadPart = static_cast<LONGLONG>(length);
  return Result(SetFileInformationByHandle(Native(file), FileEndOfFileInfo, &end, sizeof end));
}

// The cache manager writes behind on its own.
int SysCalls::StartWriteBack(Handle, std::uint64_t, std::uint64_t) { return 0; }

int SysCalls::MakeFolder(Handle folder, const char* name) {
  std::wstring path;
  if (const int error = PathIn(folder, name, &path)) return error;
  return Result(CreateDirectoryW(path.c_str(), nullptr));
}

int SysCalls::RemoveFile(Handle folder, const char* name) {
  std::wstring path;
  if (const int error = PathIn(folder, name, &path)) return error;
  return Result(RetryWhileHeld([&] { return DeleteFileW(path.c_str()); }));
}

int SysCalls::RemoveFolder(Handle folder, const char* name) {
  std::wstring path;
  if (const int error = PathIn(folder, name, &path)) return error;
  return Result(RetryWhileHeld([&] { return RemoveDirectoryW(path.c_str()); }));
}

int SysCalls::Rename(Handle folder, const char* from, const char* to) {
  std::wstring fromPath, toPath;
  if (const int error = PathIn(folder, from, &fromPath)) return error;
  if (const int error = PathIn(folder, to, &toPath)) return error;
  return Result(RetryWhileHeld(
      [&] { return MoveFileExW(fromPath.c_str(), toPath.c_str(), MOVEFILE_REPLACE_EXISTING); }));
}

int SysCalls::LinkUnnamed(Handle, Handle, const char*) { return EOPNOTSUPP; }

int SysCalls::LinkUnnamedByHandle(Handle, Handle, const char*) { return EOPNOTSUPP; }

int SysCalls::Lock(Handle handle, LockMode, bool wait, Handle* lock) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(Native(handle), &info)) return LastError();
  wchar_t name[80];
  std::swprintf(name, sizeof name / sizeof name[0], L"Local\\Parcelo.Folder.%08lx.%08lx%08lx",
                info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow);
  const HANDLE semaphore = CreateSemaphoreW(nullptr, 1, 1, name);
  if (!semaphore) return LastError();
  if (WaitForSingleObject(semaphore, wait ? INFINITE : 0) != WAIT_OBJECT_0) {
    CloseHandle(semaphore);
    return EWOULDBLOCK;
  }
  *lock = Ours(semaphore);
  return 0;
}

int SysCalls::Unlock(Handle, Handle lock) {
  const BOOL released = ReleaseSemaphore(Native(lock), 1, nullptr);
  const int error = released ? 0 : LastError();
  CloseHandle(Native(lock));
  return error;
}

// Only Parcelo takes a folder's semaphore, and only in this session: the
// holder is a Parcelo process of the runner's.
int SysCalls::FindLockHolder(Handle, LockHolder* holder) {
  holder->name = "parcelo";
  holder->user = EffectiveUser();
  holder->thisProcess = false;
  return 0;
}

int SysCalls::ReadNames(Handle folder, std::vector<std::string>* names) {
  std::wstring pattern;
  if (const int error = PathIn(folder, ".", &pattern)) return error;
  pattern += pattern.back() == L'\\' ? L"*" : L"\\*";
  WIN32_FIND_DATAW entry{};
  const HANDLE search = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &entry,
                                         FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (search == INVALID_HANDLE_VALUE) {
    return GetLastError() == ERROR_FILE_NOT_FOUND ? 0 : LastError();  // an empty drive root
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
  return error == ERROR_NO_MORE_FILES ? 0 : ErrorNumberFor(error);
}

int SysCalls::CloneRange(Handle, std::uint64_t, Handle, std::uint64_t, std::uint64_t) {
  return EOPNOTSUPP;
}

// No hole information: data up to the end, the end the only hole.
int SysCalls::SeekData(Handle file, std::uint64_t offset, std::uint64_t* at) {
  FileStatus status;
  if (const int error = Status(file, &status)) return error;
  if (offset >= status.size) return ENXIO;
  *at = offset;
  return 0;
}

int SysCalls::SeekHole(Handle file, std::uint64_t offset, std::uint64_t* at) {
  FileStatus status;
  if (const int error = Status(file, &status)) return error;
  if (offset >= status.size) return ENXIO;
  *at = status.size;
  return 0;
}

int SysCalls::FreeSpace(Handle folder, std::uint64_t* bytes) {
  std::wstring path;
  if (const int error = PathIn(folder, ".", &path)) return error;
  if (path.back() != L'\\') path.push_back(L'\\');
  ULARGE_INTEGER available{};
  if (!GetDiskFreeSpaceExW(path.c_str(), &available, nullptr, nullptr)) return LastError();
  *bytes = available.QuadPart;
  return 0;
}

int SysCalls::LargestFile(Handle folder, std::uint64_t* bytes) {
  wchar_t system[MAX_PATH + 1] = {};
  if (!GetVolumeInformationByHandleW(Native(folder), nullptr, 0, nullptr, nullptr, nullptr, system,
                                     MAX_PATH + 1)) {
    return LastError();
  }
  // FAT keeps a file's length in 32 bits.
  const std::wstring name = system;
  *bytes = name == L"FAT" || name == L"FAT32" ? 0xFFFFFFFFu : UINT64_MAX;
  return 0;
}

std::uint32_t SysCalls::CreationMask() { return 0; }

std::uint32_t SysCalls::EffectiveUser() { return 0; }  // every owner reads as 0

// Handles have no per-process limit that a program could meet here.
int SysCalls::GetOpenFileLimit(std::uint64_t* soft, std::uint64_t* hard) {
  *soft = *hard = UINT64_MAX;
  return 0;
}

int SysCalls::SetOpenFileLimit(std::uint64_t) { return 0; }

}  // namespace parcelo
