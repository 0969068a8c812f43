#include "io/absolute_path.h"

#include <filesystem>
#include <system_error>

#include "io/file_error.h"

namespace parcelo {

std::string AbsolutePath(const std::string& path) {
  std::error_code error;
  std::filesystem::path absolute = std::filesystem::absolute(path, error);
  if (error) throw FileError(error.value(), FileOperation::Stat, path);
  return absolute.string();
}

}  // namespace parcelo
