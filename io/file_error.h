#pragma once

#include <stdexcept>
#include <string>

namespace parcelo {

// What was being done to a file when it failed.
enum class FileOperation { Open, Create, Read, Write, Close, Stat, CreateFolder, ListFolder, Replace };

// Error numbers of our own, above the system's errno values.
inline constexpr int kUnexpectedEnd = 1001;   // a file ended before the bytes it should hold
inline constexpr int kNotRegularFile = 1002;  // a folder, device or link where a file belongs

// The one error the core throws: an error number (errno or one of ours), the
// operation and the path of the file it concerns.
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

// Returns a Russian sentence that says what failed, on which file and why.
std::string DescribeFileError(const FileError& error);

// Returns the Russian reason for an error number.
std::string DescribeErrorCode(int code);

}  // namespace parcelo
