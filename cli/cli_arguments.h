#pragma once

#include <optional>
#include <string>
#include <vector>

#include "split/split.h"

namespace parcelo {

// What the command line asks for.
struct CliCommand {
  enum class Kind { Split, Join, Help } kind = Kind::Help;
  SplitRequest split;   // for Split
  std::string folder;   // for Join, without a trailing separator unless the root
};

// Reads the arguments after the program name; nothing when they don't fit
// the usage.
std::optional<CliCommand> ParseCliArguments(const std::vector<std::string>& arguments);

// Drops trailing separators from a folder path, keeping a lone root.
std::string WithoutTrailingSeparators(std::string folder);

// The short usage, in Russian.
extern const char* const kCliUsage;

}  // namespace parcelo
