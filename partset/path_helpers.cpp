#include "partset/path_helpers.h"

namespace parcelo {

std::string FileNameOf(std::string_view path) {
  const std::size_t at = path.rfind(kSeparator);
  if (at == std::string_view::npos) return {};
  return std::string(path.substr(at + 1));
}

std::string FolderOf(std::string_view path) {
  const std::size_t at = path.rfind(kSeparator);
  if (at == std::string_view::npos) return {};
  return std::string(path.substr(0, at));
}

bool IsPlainFileName(std::string_view name) {
  if (name.empty() || name == "." || name == ".." || name.size() > kMaxFileNameBytes) return false;
  for (char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == kSeparator || byte < 0x20 || byte == 0x7f) return false;
  }
  return true;
}

}  // namespace parcelo
