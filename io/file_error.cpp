#include "io/file_error.h"

namespace parcelo {

FileError::FileError(int code, FileOperation operation, std::string path)
    : std::runtime_error("file error " + std::to_string(code) + " on " + path),
      code_(code),
      operation_(operation),
      path_(std::move(path)) {}

}  // namespace parcelo
