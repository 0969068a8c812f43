#pragma once

#include <functional>
#include <string>
#include <vector>

namespace parcelo {

// Lists the file names of a folder for the join. The window's file list and
// ListFolder below are two such listers.
using FolderLister = std::function<std::vector<std::string>(const std::string& folder)>;

// Returns the names of the regular files directly inside a folder, sorted
// by name (byte order): no folders, links, devices, nor hidden files (names
// starting with "."). Throws FileError when the folder can't be read.
std::vector<std::string> ListFolder(const std::string& folder);

}  // namespace parcelo
