#pragma once

// What the tests share: a unique temporary folder removed afterwards, and
// byte files.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace parcelo::testing {

using Strings = std::vector<std::string>;

class TempFolder {
 public:
  // A new private folder of a random name (another where one exists; any other failure throws).
  TempFolder() {
    for (std::random_device random; path_.empty();) {
      const auto path = std::filesystem::temp_directory_path() / ("parcelo-test-" + std::to_string(random()));
      if (std::filesystem::create_directory(path)) path_ = path.string();
    }
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// A path for the standard library from UTF-8 text (on Windows a narrow
// string would be read in the ANSI code page).
inline std::filesystem::path FsPath(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

inline std::string PatternBytes(std::size_t size, unsigned seed = 1) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  return bytes;
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(FsPath(path), std::ios::binary | std::ios::trunc) << bytes;
}

// The file's bytes, "" where there is no file.
inline std::string ReadFile(const std::string& path) {
  std::ifstream file(FsPath(path), std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

// The names in a folder, hidden ones included (a left-over temporary shows).
inline std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(FsPath(folder))) {
    const std::u8string name = entry.path().filename().u8string();
    names.emplace_back(name.begin(), name.end());
  }
  std::sort(names.begin(), names.end());
  return names;
}

inline std::size_t OpenDescriptorCount() {
  const std::filesystem::directory_iterator fds("/proc/self/fd");
  return static_cast<std::size_t>(std::distance(begin(fds), end(fds)));
}

}  // namespace parcelo::testing
