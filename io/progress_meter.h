#pragma once

#include <cstdint>
#include <functional>

namespace parcelo {

// Told how many bytes of how many are done, between chunks of a copy.
using Progress = std::function<void(std::uint64_t done, std::uint64_t total)>;

// Counts the bytes an operation has moved and passes them on to a Progress
// every few MiB; does nothing when there is none.
class ProgressMeter {
 public:
  static constexpr std::uint64_t kReportEvery = 4u << 20;

  ProgressMeter(const Progress& progress, std::uint64_t total) : progress_(progress), total_(total) {}

  void Advance(std::uint64_t bytes) {
    done_ += bytes;
    if (progress_ && done_ - reported_ >= kReportEvery) Report();
  }

  // Reports the final count, if it was not reported already.
  void Finish() {
    if (progress_ && (reported_ != done_ || done_ == 0)) Report();
  }

 private:
  void Report() {
    reported_ = done_;
    progress_(done_, total_);
  }

  Progress progress_;
  std::uint64_t total_;
  std::uint64_t done_ = 0;
  std::uint64_t reported_ = 0;
};

}  // namespace parcelo
