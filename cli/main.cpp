// parcelo-cli: the split, the join and the check of a set from the command
// line. Each message
// box becomes one line "TITLE: TEXT": information on standard output,
// everything else on standard error. SIGINT, SIGTERM and SIGHUP cancel the
// work as the window's "Отмена" does, then end the program as the signal
// would. On Windows the arguments come as UTF-16 and Russian text reaches
// the console as UTF-16 too; Ctrl+C cancels.

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_arguments.h"
#include "io/console.h"
#include "io/folder.h"
#include "io/stop_signals.h"
#include "join/check.h"
#include "join/join.h"
#include "operation/messages.h"
#include "parcelo_version.h"
#include "split/split.h"

namespace {

constexpr int kExitDone = 0;
constexpr int kExitRefused = 1;
constexpr int kExitError = 2;
constexpr int kExitUsage = 64;

void ShowMessage(const parcelo::Message& message) {
  std::FILE* stream = message.kind == parcelo::MessageKind::Information ? stdout : stderr;
  parcelo::WriteText(stream, message.title + ": " + message.text + "\n");
}

// Stops the work once a stop signal came.
void StopOnSignal(const parcelo::ProgressReport&) {
  if (parcelo::StopSignal() != 0) throw parcelo::OperationCancelled{};
}

int Run(const parcelo::CliCommand& command) {
  using Kind = parcelo::CliCommand::Kind;
  if (command.kind == Kind::Help) {
    parcelo::WriteText(stdout, parcelo::messages::command_line::kUsage);
    return kExitDone;
  }
  if (command.kind == Kind::Version) {
    std::fputs("parcelo-cli " PARCELO_VERSION "\n", stdout);
    return kExitDone;
  }
  // Nobody is asked here: a file edited after the split is replaced only
  // with "--replace", and otherwise the join is refused.
  std::optional<std::string> editedKept;
  const auto mayReplaceEdited = [&](const std::string& name) {
    if (!command.replaceEdited) editedKept = name;
    return command.replaceEdited;
  };
  const parcelo::Report report =
      command.kind == Kind::Split ? parcelo::Split(command.split, StopOnSignal)
      : command.kind == Kind::Join
          ? parcelo::Join(command.folder, StopOnSignal, {}, mayReplaceEdited)
          : parcelo::Check(command.folder, StopOnSignal);
  if (editedKept && report.outcome == parcelo::Outcome::Cancelled) {
    ShowMessage({parcelo::MessageKind::Critical, parcelo::messages::kReplaceEditedTitle,
                 parcelo::messages::ReplaceEdited(*editedKept)});
    return kExitRefused;
  }
  ShowMessage(report.message);
  switch (report.outcome) {
    case parcelo::Outcome::Done: return kExitDone;
    case parcelo::Outcome::Refused: return kExitRefused;
    case parcelo::Outcome::Failed:
    case parcelo::Outcome::Cancelled: return kExitError;
  }
  return kExitError;
}

// Makes sure what was said on standard output reached it (a full disk or a
// closed pipe is an error too).
bool FlushStandardOutput() { return std::fflush(stdout) == 0 && !std::ferror(stdout); }

}  // namespace

int parcelo::ProgramMain(const std::vector<std::string>& arguments) {
  parcelo::CatchStopSignals();
  const auto command = parcelo::ParseCliArguments(arguments, parcelo::IsFolder);
  if (!command) {
    parcelo::WriteText(stderr, parcelo::messages::command_line::kUsage);
    return kExitUsage;
  }
  int status = Run(*command);
  if (!FlushStandardOutput()) {
    parcelo::WriteText(stderr,
                       std::string(parcelo::messages::command_line::kStandardOutputFailed) + "\n");
    status = kExitError;
  }
  parcelo::EndByStopSignal();
  return status;
}
