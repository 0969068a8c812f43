#include "io/absolute_path.h"

#include <filesystem>
#include <system_error>

#include "io/file_error.h"
#include "io/windows_wide_text.h"

namespace parcelo {

std::string AbsolutePath(const std::string& path) {
  std::error_code error;
#ifdef _WIN32
  // A std::string would be widened byte by byte, not read as UTF-8.
  const std::filesystem::path absolute = std::filesystem::absolute(WideFromUtf8(path), error);
  if (error) throw FileError(error.value(), FileOperation::Stat, path);
  return Utf8FromWide(absolute.native());
#else
  std::filesystem::path absolute = std::filesystem::absolute(path, error);
  if (error) throw FileError(error.value(), FileOperation::Stat, path);
  return absolute.string();
#endif
}

}  // namespace parcelo
