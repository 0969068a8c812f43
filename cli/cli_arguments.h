#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "split/split.h"

namespace parcelo {

// What the command line asks for.
struct CliCommand {
  enum class Kind { Split, Join, Check, Help, Version } kind = Kind::Help;
  SplitRequest split;  // for Split
  std::string folder;  // for Join and Check, without a trailing separator unless the root
  // For Join ("--replace"): a file edited after the split may be replaced.
  bool replaceEdited = false;
};

// Tells whether a path names an existing folder.
using FolderCheck = std::function<bool(const std::string& path)>;

// Reads the arguments after the program name; nothing when they don't fit
// the usage. The join's path goes through JoinFolderFor, asking isFolder.
std::optional<CliCommand> ParseCliArguments(const std::vector<std::string>& arguments,
                                            const FolderCheck& isFolder);

// Drops trailing separators from a folder path, keeping a lone root.
std::string WithoutTrailingSeparators(std::string folder);

// Returns the folder of the set a join's path names: the folder holding the
// file when the path is not a folder and its last component is "Infa.inf",
// "Infa.sha256" or ends in ".drb" (any letter case), "." when that path has no folder
// part; otherwise the path itself. Trailing separators are dropped first.
std::string JoinFolderFor(const std::string& path, bool pathIsFolder);

}  // namespace parcelo
