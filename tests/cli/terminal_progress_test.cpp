#include "cli/terminal_progress.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace parcelo::testing {
namespace {

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

// Nothing in the first half second, then at most one line a tenth of a second, each over the one
// before, and the line blanked at the end.
TEST(TerminalProgress, DrawsLateAndSeldomThenBlanksTheLine) {
  std::int64_t now = 1000;
  std::vector<std::string> written;
  TerminalProgress progress([&](std::string_view text) { written.emplace_back(text); },
                            [&] { return now; });
  const ProgressReport first{50, 100, 10, 10}, second{60, 100, 1, 2};
  for (const std::int64_t at : {1000, 1499, 1500, 1599, 1600}) {
    now = at;
    progress.Update(at == 1600 ? second : first);
  }
  const std::vector<std::string> drawn = {"\rЧасть 10 из 10  50%  0,0 МБ/с  осталось 0:01",
                                          "\rЧасть 1 из 2  60%  0,0 МБ/с  осталось 0:01  "};
  EXPECT_EQ(written, drawn);
  progress.Clear();
  progress.Clear();
  EXPECT_EQ(written.size(), 3u);
  EXPECT_EQ(written.back(), "\r" + std::string(44, ' ') + "\r");  // the longer line's characters
}

}  // namespace
}  // namespace parcelo::testing
