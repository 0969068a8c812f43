#pragma once

#include <string>

namespace parcelo {

// The two kinds of message box: critical for a refused or failed
// operation, information for a success or a cancel.
enum class MessageKind { Critical, Information };

// One message box: what the user is told about an operation's outcome.
struct Message {
  MessageKind kind = MessageKind::Information;
  std::string title;
  std::string text;
  std::string path{};  // a path within the text, shown on one line where it fits
};

// What an operation came to.
enum class Outcome {
  Done,       // the work is complete
  Refused,    // a check refused it before anything was written
  Failed,     // an error stopped it (the error report says which file and why)
  Cancelled,  // the user stopped it; what it had begun is cleaned up
};

// What happened, and the one box to show for it.
struct Report {
  Outcome outcome = Outcome::Done;
  Message message;
  int errorCode = 0;      // for Failed: errno or one of ours (io/file_error.h)
  std::string errorPath;  // for Failed: the file the error concerns
};

// Returns the report of an outcome that carries no error: its box alone.
inline Report BoxReport(Outcome outcome, MessageKind kind, std::string title, std::string text) {
  Report report;
  report.outcome = outcome;
  report.message = {kind, std::move(title), std::move(text)};
  return report;
}

}  // namespace parcelo
