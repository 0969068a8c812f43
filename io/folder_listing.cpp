#include "io/folder_listing.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "io/file_error.h"

namespace parcelo {

std::vector<std::string> ListFolder(const std::string& folder) {
  namespace fs = std::filesystem;
  std::error_code error;
  fs::directory_iterator entries(folder, error);
  std::vector<std::string> names;
  for (; !error && entries != fs::directory_iterator(); entries.increment(error)) {
    std::string name = entries->path().filename().string();
    if (name.empty() || name.front() == '.') continue;
    std::error_code typeError;
    if (entries->symlink_status(typeError).type() != fs::file_type::regular) continue;
    names.push_back(std::move(name));
  }
  if (error) throw FileError(error.value(), FileOperation::ListFolder, folder);
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace parcelo
