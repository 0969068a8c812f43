#pragma once

// Runs the real parcelo-cli (its path in PARCELO_CLI) and captures what a
// user sees: the exit status and the two output streams.

#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace parcelo::testing {

struct CliResult {
  int status;
  std::string out, err;
};

inline std::string ShellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += (c == '\'') ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// Another user than the tests' own: for the tests that run as root and
// check what one user can do to another's files.
inline constexpr unsigned kOtherUser = 40000;

// Runs parcelo-cli, as kOtherUser when `asOtherUser` (the caller is root).
inline CliResult RunCli(const std::vector<std::string>& arguments, bool asOtherUser = false) {
  static const TempFolder scratch;
  std::string command = asOtherUser ? "setpriv --reuid=" + std::to_string(kOtherUser) +
                                          " --regid=" + std::to_string(kOtherUser) + " --clear-groups "
                                    : "";
  command += ShellQuoted(std::getenv("PARCELO_CLI"));
  for (const auto& argument : arguments) command.append(" ").append(ShellQuoted(argument));
  command.append(" >" + scratch / "out").append(" 2>" + scratch / "err").append(" </dev/null");
  const int raw = std::system(command.c_str());
  return {WEXITSTATUS(raw), ReadFile(scratch / "out"), ReadFile(scratch / "err")};
}

}  // namespace parcelo::testing
