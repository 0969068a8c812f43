#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "split/split.h"

namespace parcelo {

// What the command line asks for.
struct CliCommand {
  // Usage: arguments that don't fit the usage, for the reason in usageError.
  enum class Kind { Split, Join, Check, Help, Version, Usage } kind = Kind::Help;
  SplitRequest split;                  // for Split
  std::optional<std::uint64_t> parts;  // for Split ("--parts"): at most this many parts
  std::string folder;  // for Join and Check, without a trailing separator unless the root
  // For Join ("--replace"): a file edited after the split may be replaced.
  bool replaceEdited = false;
  bool quiet = false;      // "--quiet": no progress line on a terminal
  std::string usageError;  // for Usage: what is wrong, naming the argument
};

// Tells whether a path names an existing folder.
using FolderCheck = std::function<bool(const std::string& path)>;

// Reads the arguments after the program name; nothing when they don't fit
// the usage, a Usage command when what is wrong can be named (a size with
// an unknown unit, say). "--size" goes into the split's request as a plain
// number of bytes. The join's path goes through JoinFolderFor, asking
// isFolder.
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
