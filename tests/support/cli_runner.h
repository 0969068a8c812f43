#pragma once

// Runs the real parcelo-cli (its path in PARCELO_CLI) and captures what a
// user sees: the exit status and the two output streams.

#include <sys/wait.h>

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace parcelo::testing {

struct CliResult {
  int status;
  std::string out;
  std::string err;
};

inline std::string ShellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += (c == '\'') ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// Runs parcelo-cli with the arguments; its output is kept in `scratch`.
inline CliResult RunCli(const std::vector<std::string>& arguments, const TempFolder& scratch) {
  const char* cli = std::getenv("PARCELO_CLI");
  if (!cli) throw std::runtime_error("PARCELO_CLI is not set");
  std::string command = ShellQuoted(cli);
  for (const auto& argument : arguments) command.append(" ").append(ShellQuoted(argument));
  command.append(" >").append(ShellQuoted(scratch / "cli.out"));
  command.append(" 2>").append(ShellQuoted(scratch / "cli.err")).append(" </dev/null");
  const int raw = std::system(command.c_str());
  return {WEXITSTATUS(raw), ReadFile(scratch / "cli.out"), ReadFile(scratch / "cli.err")};
}

}  // namespace parcelo::testing
