#include "cli/terminal_progress.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace parcelo::testing {
namespace {

using Lines = std::vector<std::string>;
constexpr std::uint64_t kMiB = 1 << 20;

TEST(TerminalProgress, LineTellsPartPerCentSpeedAndTimeLeft) {
  const std::pair<std::pair<ProgressReport, std::int64_t>, std::string> rows[] = {
      {{{27, 100, 3, 10}, 0}, "Часть 3 из 10  27%"},
      {{{10 * kMiB, 40 * kMiB, 2, 4}, 2000}, "Часть 2 из 4  25%  5,0 МБ/с  осталось 0:06"},
      {{{kMiB, 4000 * kMiB, 1, 2}, 1000}, "Часть 1 из 2  0%  1,0 МБ/с  осталось 1:06:39"},
      {{{3 * kMiB, 3 * kMiB, 0, 0}, 3000}, "100%  1,0 МБ/с"}};
  for (const auto& [report, line] : rows) {
    EXPECT_EQ(ProgressLine(report.first, report.second), line) << line;
  }
}

// Nothing in the first half second, then at most a line a tenth of a second, each over the one
// before (spaces blanking the rest of a longer one), and once at the end a blank as wide as the
// longest line drawn. Each row: when the work reports (it starts at 1000 ms; at 1600 ms it reports
// the second of two parts, else the tenth of ten), how often it then clears, what is drawn.
TEST(TerminalProgress, DrawsLateAndSeldomThenBlanksTheLineOnce) {
  const std::string first = "\rЧасть 10 из 10  50%  0,0 МБ/с  осталось 0:01",
                    second = "\rЧасть 1 из 2  60%  0,0 МБ/с  осталось 0:01  ",
                    blank = "\r" + std::string(44, ' ') + "\r";
  const std::tuple<const char*, std::vector<std::int64_t>, int, Lines> rows[] = {
      {"after the first half second", {1000, 1499, 1500}, 0, {first}},
      {"a tenth of a second apart", {1500, 1599, 1600}, 0, {first, second}},
      {"cleared twice", {1500, 1600}, 2, {first, second, blank}}};
  for (const auto& [what, times, clears, drawn] : rows) {
    std::int64_t now = 1000;
    Lines written;
    TerminalProgress progress([&](std::string_view text) { written.emplace_back(text); }, [&] { return now; });
    for (const std::int64_t at : times) {
      now = at;
      progress.Update(at == 1600 ? ProgressReport{60, 100, 1, 2} : ProgressReport{50, 100, 10, 10});
    }
    for (int k = 0; k < clears; ++k) progress.Clear();
    EXPECT_EQ(written, drawn) << what;
  }
}

}  // namespace
}  // namespace parcelo::testing
