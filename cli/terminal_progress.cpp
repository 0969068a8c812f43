#include "cli/terminal_progress.h"

#include <cmath>
#include <utility>

#include "cli/cli_texts.h"

namespace parcelo {
namespace {

namespace text = cli_text;

// The format with %1 replaced by `first` and %2 by `second`.
std::string Filled(std::string_view format, const std::string& first,
                   const std::string& second = {}) {
  std::string filled;
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] == '%' && i + 1 < format.size() &&
        (format[i + 1] == '1' || format[i + 1] == '2')) {
      filled += format[++i] == '1' ? first : second;
    } else {
      filled.push_back(format[i]);
    }
  }
  return filled;
}

std::string TwoDigits(std::uint64_t n) {
  std::string digits = std::to_string(n);
  if (digits.size() < 2) digits.insert(digits.begin(), '0');
  return digits;
}

// "0:07", "12:34", "1:02:03".
std::string Duration(std::uint64_t seconds) {
  const std::uint64_t hours = seconds / 3600, minutes = seconds / 60 % 60;
  if (hours == 0) return std::to_string(minutes) + ":" + TwoDigits(seconds % 60);
  return std::to_string(hours) + ":" + TwoDigits(minutes) + ":" + TwoDigits(seconds % 60);
}

// The characters of a UTF-8 text: the bytes that don't continue one.
std::size_t Width(std::string_view text) {
  std::size_t width = 0;
  for (const char c : text) width += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return width;
}

}  // namespace

std::string ProgressLine(const ProgressReport& report, std::int64_t elapsedMs) {
  std::string line;
  if (report.parts > 0) {
    line = Filled(text::kProgressPart, std::to_string(report.part), std::to_string(report.parts)) +
           "  ";
  }
  const std::uint64_t done = std::min(report.bytesDone, report.bytesTotal);
  line += std::to_string(report.bytesTotal ? done * 100 / report.bytesTotal : 100) + "%";
  if (elapsedMs <= 0 || done == 0) return line;
  const double bytesPerSecond = static_cast<double>(done) * 1000 / static_cast<double>(elapsedMs);
  const auto tenths = static_cast<std::uint64_t>(std::llround(bytesPerSecond * 10 / (1 << 20)));
  line += "  " + Filled(text::kProgressSpeed,
                        std::to_string(tenths / 10) + "," + std::to_string(tenths % 10));
  if (done < report.bytesTotal) {
    const double secondsLeft = static_cast<double>(report.bytesTotal - done) / bytesPerSecond;
    line += "  " + Filled(text::kProgressTimeLeft,
                          Duration(static_cast<std::uint64_t>(std::ceil(secondsLeft))));
  }
  return line;
}

TerminalProgress::TerminalProgress(Writer write, Clock clock)
    : write_(std::move(write)), clock_(std::move(clock)), start_(clock_()) {}

void TerminalProgress::Update(const ProgressReport& report) {
  const std::int64_t now = clock_();
  if (now - start_ < kShowAfterMs) return;
  if (width_ > 0 && now - drawnAt_ < kRedrawAfterMs) return;
  const std::string line = ProgressLine(report, now - start_);
  const std::size_t width = Width(line);
  // What is left of a longer line before is covered with blanks.
  write_("\r" + line + std::string(width_ > width ? width_ - width : 0, ' '));
  drawnAt_ = now;
  width_ = std::max(width, width_);
}

void TerminalProgress::Clear() {
  if (width_ == 0) return;
  std::string blank(width_ + 2, ' ');
  blank.front() = blank.back() = '\r';
  write_(blank);
  width_ = 0;
}

}  // namespace parcelo
