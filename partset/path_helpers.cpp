#include "partset/path_helpers.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "io/file_error.h"

namespace parcelo {

std::string FileNameOf(std::string_view path, char separator) {
  const std::size_t at = path.rfind(separator);
  if (at == std::string_view::npos) return {};
  return std::string(path.substr(at + 1));
}

std::string FolderOf(std::string_view path, char separator) {
  const std::size_t at = path.rfind(separator);
  if (at == std::string_view::npos) return {};
  return std::string(path.substr(0, at));
}

bool IsPlainFileName(std::string_view name, char separator) {
  if (name.empty() || name == "." || name == ".." || name.size() > kMaxFileNameBytes) return false;
  for (char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == separator || byte < 0x20 || byte == 0x7f) return false;
#ifdef _WIN32
    // Windows also takes "/" as a separator and ":" as a drive or stream mark.
    if (c == '/' || c == ':') return false;
#endif
  }
  return true;
}

std::string AbsolutePath(const std::string& path) {
  std::error_code error;
  std::filesystem::path absolute = std::filesystem::absolute(path, error);
  if (error) throw FileError(error.value(), FileOperation::Stat, path);
  return absolute.string();
}

}  // namespace parcelo
