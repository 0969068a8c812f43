#include "cli/cli_arguments.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "cli/cli_texts.h"
#include "cli/piece_size.h"
#include "partset/checksum_file.h"
#include "partset/leading_number.h"
#include "partset/part_number.h"
#include "partset/path_helpers.h"

namespace parcelo {

namespace {

// Takes the value of "--name VALUE" or "--name=VALUE" at arguments[i].
bool TakeOption(const std::vector<std::string>& arguments, std::size_t& i, const std::string& name,
                std::string& value) {
  const std::string& argument = arguments[i];
  if (argument == name) {
    if (i + 1 >= arguments.size()) return false;
    value = arguments[++i];
    return true;
  }
  if (argument.rfind(name + "=", 0) == 0) {
    value = argument.substr(name.size() + 1);
    return true;
  }
  return false;
}

CliCommand UsageError(const std::string& reason, std::string_view argument) {
  CliCommand command;
  command.kind = CliCommand::Kind::Usage;
  command.usageError = reason + ": «" + std::string(argument) + "»";
  return command;
}

std::optional<CliCommand> ParseSplit(const std::vector<std::string>& arguments) {
  namespace text = cli_text;
  CliCommand command;
  command.kind = CliCommand::Kind::Split;
  command.split.pieceSizeText = "1000000";
  command.split.newFolderName = "NewFolder";
  bool haveSource = false;
  std::optional<std::string> size, parts;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    std::string value;
    if (TakeOption(arguments, i, "--size", value)) {
      size = value;
      continue;
    }
    if (TakeOption(arguments, i, "--parts", value)) {
      parts = value;
      continue;
    }
    if (argument == "--quiet") {
      command.quiet = true;
      continue;
    }
    if (TakeOption(arguments, i, "--subdir", command.split.newFolderName)) {
      command.split.newFolder = true;
      continue;
    }
    if (argument == "--checksums") {
      command.split.checksums = true;
      continue;
    }
    if (argument.rfind("--", 0) == 0 || haveSource) return std::nullopt;
    command.split.sourcePath = argument;
    haveSource = true;
  }
  if (!haveSource) return std::nullopt;
  if (size && parts) return UsageError(text::kSizeWithParts, "--parts " + *parts);
  if (size) {
    const SizeWithUnit bytes = ReadSizeWithUnit(*size);
    if (!bytes.notUnit.empty()) return UsageError(text::kNotSizeUnit, bytes.notUnit);
    command.split.pieceSizeText = SizeText(bytes.bytes);
  }
  if (parts) {
    const NumberPrefix count = ReadNumberPrefix(*parts);
    std::string_view rest = std::string_view(*parts).substr(count.length);
    while (const std::size_t space = SkippedLength(rest)) rest.remove_prefix(space);
    if (count.length == 0 || !rest.empty() || std::trunc(count.value) != count.value) {
      return UsageError(text::kPartsNotWhole, *parts);
    }
    // Any count out of range is refused alike, so a huge one needs no more digits.
    command.parts = static_cast<std::uint64_t>(std::clamp(count.value, 0.0, 1e9));
  }
  return command;
}

}  // namespace

std::string WithoutTrailingSeparators(std::string folder) {
  const std::size_t root = std::max<std::size_t>(RootLength(folder), 1);
  while (folder.size() > root && IsSeparator(folder.back())) folder.pop_back();
  return folder;
}

std::string JoinFolderFor(const std::string& path, bool pathIsFolder) {
  std::string folder = WithoutTrailingSeparators(path);
  if (pathIsFolder) return folder;
  const std::size_t separator = LastSeparator(folder);
  const std::string_view name = separator == std::string::npos
                                    ? std::string_view(folder)
                                    : std::string_view(folder).substr(separator + 1);
  if (name != kInfoFileName && name != kChecksumFileName && !HasPartExtension(name)) return folder;
  if (separator == std::string::npos) return ".";
  return WithoutTrailingSeparators(folder.substr(0, separator + 1));
}

std::optional<CliCommand> ParseCliArguments(const std::vector<std::string>& arguments,
                                            const FolderCheck& isFolder) {
  if (arguments.size() == 1 && (arguments[0] == "--help" || arguments[0] == "-h")) {
    return CliCommand{};
  }
  if (arguments.size() == 1 && arguments[0] == "--version") {
    CliCommand command;
    command.kind = CliCommand::Kind::Version;
    return command;
  }
  if (!arguments.empty() && arguments[0] == "split") return ParseSplit(arguments);
  if (!arguments.empty() && (arguments[0] == "join" || arguments[0] == "check")) {
    CliCommand command;
    command.kind = arguments[0] == "join" ? CliCommand::Kind::Join : CliCommand::Kind::Check;
    std::vector<std::string> paths;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
      if (arguments[i] == "--replace" && command.kind == CliCommand::Kind::Join) {
        command.replaceEdited = true;
      } else if (arguments[i] == "--quiet") {
        command.quiet = true;
      } else {
        paths.push_back(arguments[i]);
      }
    }
    if (paths.size() != 1) return std::nullopt;
    command.folder = JoinFolderFor(paths[0], isFolder(paths[0]));
    return command;
  }
  return std::nullopt;
}

}  // namespace parcelo
