#include "cli/cli_arguments.h"

#include <algorithm>

#include "partset/checksum_file.h"
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

std::optional<CliCommand> ParseSplit(const std::vector<std::string>& arguments) {
  CliCommand command;
  command.kind = CliCommand::Kind::Split;
  command.split.pieceSizeText = "1000000";
  command.split.newFolderName = "NewFolder";
  bool haveSource = false;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (TakeOption(arguments, i, "--size", command.split.pieceSizeText)) continue;
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
