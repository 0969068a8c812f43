// parcelo-cli: the split, the join and the check of a set from the command
// line. Each message
// box becomes one line "TITLE: TEXT": information on standard output,
// everything else on standard error; on a terminal, standard error shows
// how far a long work has come in a line of its own, blanked at the end. SIGINT, SIGTERM and SIGHUP
// cancel the work as the window's "Отмена" does, then end the program as the signal would. On
// Windows the arguments come as UTF-16 and Russian text reaches the console as UTF-16 too; Ctrl+C
// cancels.

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_arguments.h"
#include "cli/cli_texts.h"
#include "cli/piece_size.h"
#include "cli/terminal_progress.h"
#include "io/console.h"
#include "io/path_kind.h"
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

// Shows a report's message; returns the exit status for its outcome.
int Shown(const parcelo::Report& report) {
  ShowMessage(report.message);
  switch (report.outcome) {
    case parcelo::Outcome::Done: return kExitDone;
    case parcelo::Outcome::Refused: return kExitRefused;
    case parcelo::Outcome::Failed:
    case parcelo::Outcome::Cancelled: return kExitError;
  }
  return kExitError;
}

// Milliseconds on a clock that never goes back.
std::int64_t SteadyMilliseconds() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

int Run(const parcelo::CliCommand& command) {
  using Kind = parcelo::CliCommand::Kind;
  if (command.kind == Kind::Help) {
    parcelo::WriteText(stdout, parcelo::cli_text::kUsage);
    return kExitDone;
  }
  if (command.kind == Kind::Version) {
    std::fputs("parcelo-cli " PARCELO_VERSION "\n", stdout);
    return kExitDone;
  }
  parcelo::SplitRequest request = command.split;
  if (command.parts) {
    if (const auto refusal = parcelo::SetPieceSizeForParts(request, *command.parts)) {
      return Shown(*refusal);
    }
  }
  // Nobody is asked here: a file edited after the split is replaced only
  // with "--replace", and otherwise the join is refused.
  std::optional<std::string> editedKept;
  const auto mayReplaceEdited = [&](const std::string& name) {
    if (!command.replaceEdited) editedKept = name;
    return command.replaceEdited;
  };
  // The progress line only on a terminal: a file or a pipe gets the messages alone.
  std::optional<parcelo::TerminalProgress> line;
  if (!command.quiet && parcelo::IsTerminal(stderr)) {
    line.emplace([](std::string_view text) { parcelo::WriteText(stderr, text); },
                 SteadyMilliseconds);
  }
  // Stops the work once a stop signal came.
  const parcelo::Progress progress = [&](const parcelo::ProgressReport& report) {
    if (line) line->Update(report);
    if (parcelo::StopSignal() != 0) throw parcelo::OperationCancelled{};
  };
  const parcelo::Report report = command.kind == Kind::Split ? parcelo::Split(request, progress)
                                 : command.kind == Kind::Join
                                     ? parcelo::Join(command.folder, progress, {}, mayReplaceEdited)
                                     : parcelo::Check(command.folder, progress);
  if (line) line->Clear();
  if (editedKept && report.outcome == parcelo::Outcome::Cancelled) {
    ShowMessage({parcelo::MessageKind::Critical, parcelo::messages::kReplaceEditedTitle,
                 parcelo::messages::ReplaceEdited(*editedKept)});
    parcelo::WriteText(stderr, std::string(parcelo::cli_text::kReplaceHint) + "\n");
    return kExitRefused;
  }
  return Shown(report);
}

// Makes sure what was said on standard output reached it (a full disk or a
// closed pipe is an error too).
bool FlushStandardOutput() { return std::fflush(stdout) == 0 && !std::ferror(stdout); }

}  // namespace

int parcelo::ProgramMain(const std::vector<std::string>& arguments) {
  parcelo::CatchStopSignals();
  const auto command = parcelo::ParseCliArguments(arguments, [](const std::string& path) {
    return parcelo::KindOfPath(path) == parcelo::PathKind::Folder;
  });
  if (!command || command->kind == parcelo::CliCommand::Kind::Usage) {
    if (command) parcelo::WriteText(stderr, "parcelo-cli: " + command->usageError + "\n");
    parcelo::WriteText(stderr, parcelo::cli_text::kUsage);
    return kExitUsage;
  }
  int status = Run(*command);
  if (!FlushStandardOutput()) {
    parcelo::WriteText(stderr, std::string(parcelo::cli_text::kStandardOutputFailed) + "\n");
    status = kExitError;
  }
  // A signal that came once the work was done (during its commit) stopped
  // nothing: the program ends as the work did.
  if (status != kExitDone) parcelo::EndByStopSignal();
  return status;
}
