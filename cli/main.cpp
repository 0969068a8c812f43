// parcelo-cli: the split and the join from the command line. Each message
// box becomes one line "TITLE: TEXT": information on standard output,
// everything else on standard error.

#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/cli_arguments.h"
#include "join/join.h"
#include "parcelo_version.h"
#include "partset/error_report.h"
#include "split/split.h"

namespace {

constexpr int kExitDone = 0;
constexpr int kExitRefused = 1;
constexpr int kExitError = 2;
constexpr int kExitUsage = 64;

void ShowMessage(const parcelo::Message& message) {
  std::FILE* stream = message.kind == parcelo::MessageKind::Information ? stdout : stderr;
  std::fprintf(stream, "%s: %s\n", message.title.c_str(), message.text.c_str());
}

int Run(const parcelo::CliCommand& command) {
  using Kind = parcelo::CliCommand::Kind;
  if (command.kind == Kind::Help) {
    std::fputs(parcelo::kCliUsage, stdout);
    return kExitDone;
  }
  if (command.kind == Kind::Version) {
    std::fputs("parcelo-cli " PARCELO_VERSION "\n", stdout);
    return kExitDone;
  }
  try {
    const parcelo::Outcome outcome =
        command.kind == Kind::Split
            ? parcelo::Split(command.split, ShowMessage)
            : parcelo::Join(command.folder, parcelo::ListFolder, ShowMessage);
    return outcome == parcelo::Outcome::Done ? kExitDone : kExitRefused;
  } catch (const std::exception& error) {
    ShowMessage(parcelo::ErrorReport(error));
    return kExitError;
  }
}

// True when the path names a folder, or a link to one.
bool IsFolder(const std::string& path) {
  std::error_code ignored;
  return std::filesystem::is_directory(path, ignored);
}

// Makes sure what was said on standard output reached it (a full disk or a
// closed pipe is an error too).
bool FlushStandardOutput() {
  return std::fflush(stdout) == 0 && !std::ferror(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  const auto command = parcelo::ParseCliArguments(arguments, IsFolder);
  if (!command) {
    std::fputs(parcelo::kCliUsage, stderr);
    return kExitUsage;
  }
  int status = Run(*command);
  if (!FlushStandardOutput()) {
    std::fputs("parcelo-cli: ошибка записи в стандартный вывод\n", stderr);
    status = kExitError;
  }
  return status;
}
