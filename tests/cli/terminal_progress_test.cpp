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

// A progress line on a clock the test sets; the work starts at 1000 ms.
struct TerminalProgressTest : ::testing::Test {
  std::int64_t now = 1000;
  Lines written;
  TerminalProgress progress{[this](std::string_view text) { written.emplace_back(text); },
                            [this] { return now; }};
  const std::string first = "\rЧасть 10 из 10  50%  0,0 МБ/с  осталось 0:01";

  void UpdateAt(std::int64_t at, const ProgressReport& report = {50, 100, 10, 10}) {
    now = at;
    progress.Update(report);
  }
};

TEST_F(TerminalProgressTest, DrawsNothingInTheFirstHalfSecond) {
  UpdateAt(1000);
  UpdateAt(1499);
  EXPECT_TRUE(written.empty());
  UpdateAt(1500);
  EXPECT_EQ(written, Lines{first});
}

// Each line over the one before, spaces blanking the rest of a longer one.
TEST_F(TerminalProgressTest, DrawsAtMostOneLineATenthOfASecond) {
  UpdateAt(1500);
  UpdateAt(1599);
  UpdateAt(1600, {60, 100, 1, 2});
  EXPECT_EQ(written, (Lines{first, "\rЧасть 1 из 2  60%  0,0 МБ/с  осталось 0:01  "}));
}

// As wide as the longest line drawn, not the last one.
TEST_F(TerminalProgressTest, BlanksTheLineOnceAtTheEnd) {
  UpdateAt(1500);
  UpdateAt(1600, {60, 100, 1, 2});
  progress.Clear();
  progress.Clear();
  EXPECT_EQ(written.size(), 3u);
  EXPECT_EQ(written.back(), "\r" + std::string(44, ' ') + "\r");
}

}  // namespace
}  // namespace parcelo::testing
