#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "operation/progress.h"

namespace parcelo {

// The progress of a long split, join or check as one line on a terminal,
// redrawn in place: nothing while the work is under half a second old,
// then at most ten times a second.
class TerminalProgress {
 public:
  static constexpr std::int64_t kShowAfterMs = 500;
  static constexpr std::int64_t kRedrawAfterMs = 100;

  // Milliseconds since some fixed start, never going back.
  using Clock = std::function<std::int64_t()>;
  // Writes text to the terminal as it is.
  using Writer = std::function<void(std::string_view)>;

  TerminalProgress(Writer write, Clock clock);

  // Draws the line for a report over the one drawn before, when it is time.
  void Update(const ProgressReport& report);

  // Blanks the line, if one was drawn, and returns to its start, so what
  // is said next begins on a clean line.
  void Clear();

 private:
  Writer write_;
  Clock clock_;
  std::int64_t start_;
  std::int64_t drawnAt_ = 0;
  std::size_t width_ = 0;  // of the line drawn, in characters; 0 when none
};

// Returns the progress line: the part ("Часть 3 из 10", left out while the
// count of parts is 0), the per cent done, then, once some time has passed
// and some bytes are done, the speed ("85,3 МБ/с") and, until all is done,
// the time left ("осталось 0:12", "осталось 1:02:03").
std::string ProgressLine(const ProgressReport& report, std::int64_t elapsedMs);

}  // namespace parcelo
