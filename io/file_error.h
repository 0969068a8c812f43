#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace parcelo {

// What was being done to a file when it failed.
enum class FileOperation {
  Open,
  Create,
  Read,
  Write,
  Close,
  Stat,
  CreateFolder,
  ListFolder,
  Replace,
  Remove,
  Lock,
  Verify
};

// Error numbers of our own, above the system's errno values.
enum ErrorCode : int {
  kUnexpectedEnd = 1001,     // a file ended before the bytes it should hold
  kNotRegularFile = 1002,    // a folder, FIFO, device or the like where a file belongs
  kSymbolicLink = 1003,      // a symbolic link where a file or folder of our own belongs
  kFileReplaced = 1004,      // an entry is not the file that was listed
  kFolderBusy = 1005,        // another operation works in the folder
  kOutOfMemory = 1007,       // no memory for the work
  kChecksumMismatch = 1008,  // a file is missing or differs from the checksum its set lists
  kBadChecksumFile = 1009,   // a set's checksum file is malformed or too large
  kFileInUse = 1010,         // another program holds the file open without sharing it (Windows)
  kInvalidName = 1011,       // the system does not take the name (Windows name rules)
  kMissingPart = 1012,       // a set lacks a part between its first and its last
  kWrongPartSize = 1013,     // a part's size does not fit the set: not the first part's, or larger
  kUnlistedPart = 1014,      // a part that the set's checksum file does not list
  kNoInfoFile = 1015,        // a folder with parts but no info file: the set is incomplete
  kFolderBusyOther = 1016,   // a program other than ours holds the folder's lock
  kProtectedFile = 1017,     // a third user's file in a sticky shared folder: not to be replaced
  kOtherOwner = 1018,        // in a shared sticky folder, a set's file not of its info file's owner
  kInternalError = 1099,     // a failure that carries no number of its own
  // A Windows error the file layer has no number for: kWindowsError plus
  // the Windows error code.
  kWindowsError = 100000,
};

// The one error the file layer throws: an error number (errno or one of
// ours), the operation and the path of the file it concerns.
class FileError : public std::runtime_error {
 public:
  FileError(int code, FileOperation operation, std::string path);

  int code() const { return code_; }
  FileOperation operation() const { return operation_; }
  const std::string& path() const { return path_; }

 private:
  int code_;
  FileOperation operation_;
  std::string path_;
};

}  // namespace parcelo
