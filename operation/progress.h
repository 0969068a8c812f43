#pragma once

#include <cstdint>
#include <functional>

namespace parcelo {

// How far a split or join has come.
struct ProgressReport {
  std::uint64_t bytesDone = 0;
  std::uint64_t bytesTotal = 0;
  std::uint32_t part = 0;   // the part being written or read, from 1
  std::uint32_t parts = 0;  // how many parts the work has
};

// Told how far the work has come: at the start of every part and every few
// MiB. It may throw OperationCancelled to stop the work there.
using Progress = std::function<void(const ProgressReport&)>;

// Thrown by a Progress to stop the work: the operation cleans up what it
// began and reports Outcome::Cancelled.
struct OperationCancelled {};

// Counts the bytes an operation has moved and tells a Progress, if any.
class ProgressMeter {
 public:
  static constexpr std::uint64_t kReportEvery = 4u << 20;

  ProgressMeter(const Progress& progress, std::uint64_t total, std::uint32_t parts)
      : progress_(progress) {
    report_.bytesTotal = total;
    report_.parts = parts;
  }

  // A new part begins.
  void StartPart(std::uint32_t part) {
    report_.part = part;
    Report();
  }

  void Advance(std::uint64_t bytes) {
    report_.bytesDone += bytes;
    if (report_.bytesDone - reported_ >= kReportEvery) Report();
  }

  // Reports the final count.
  void Finish() { Report(); }

 private:
  void Report() {
    reported_ = report_.bytesDone;
    if (progress_) progress_(report_);
  }

  const Progress& progress_;
  ProgressReport report_;
  std::uint64_t reported_ = 0;
};

}  // namespace parcelo
