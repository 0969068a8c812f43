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

// Runs it in the folder `in`.
inline CliResult RunCli(const std::vector<std::string>& arguments, const std::string& in = ".") {
  static const TempFolder scratch;
  std::string command = "cd " + ShellQuoted(in) + " && " + ShellQuoted(std::getenv("PARCELO_CLI"));
  for (const auto& argument : arguments) command.append(" ").append(ShellQuoted(argument));
  command.append(" >" + scratch / "out").append(" 2>" + scratch / "err").append(" </dev/null");
  const int raw = std::system(command.c_str());
  return {WEXITSTATUS(raw), ReadFile(scratch / "out"), ReadFile(scratch / "err")};
}

}  // namespace parcelo::testing
