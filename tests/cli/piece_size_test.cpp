#include "cli/piece_size.h"

#include <gtest/gtest.h>

#include <span>
#include <string>

namespace parcelo::testing {
namespace {

constexpr double kKi = 1024, kMi = kKi * kKi, kGi = kKi * kMi;

// A size as typed, its bytes, and the text after the number that is no unit.
struct Row {
  std::string text;
  double bytes;
  std::string notUnit = "";
};

void ExpectSizes(std::span<const Row> rows) {
  for (const Row& row : rows) {
    const SizeWithUnit size = ReadSizeWithUnit(row.text);
    EXPECT_EQ(std::tie(size.bytes, size.notUnit), std::tie(row.bytes, row.notUnit)) << row.text;
  }
}

// Binary, except those ending in "B", which are decimal.
TEST(PieceSize, ReadsUnitsInAnyLetterCase) {
  const Row rows[] = {{"700M", 700 * kMi}, {"1k", kKi},  {"2 KiB", 2 * kKi}, {"1.5mib", 1.5 * kMi}, {"1G", kGi},
                      {"1gIB", kGi},       {"5KB", 5e3}, {"5 mB", 5e6},      {"2Gb", 2e9}};
  ExpectSizes(rows);
}

// Spaces inside the number, an exponent, a hexadecimal number, and no number at all.
TEST(PieceSize, ReadsTheNumberAsTheSplitDoes) {
  const Row rows[] = {{"1\u00a0000\u202fK", 1e3 * kKi}, {"1e3", 1e3}, {"&H10k", 16 * kKi}, {"", 0}};
  ExpectSizes(rows);
}

TEST(PieceSize, GivesBackWhatFollowsTheNumberWhereItIsNoUnit) {
  const Row rows[] = {{"700X", 700, "X"}, {"12abc", 12, "abc"}, {"1 Mo\u00a0", 1, "Mo"}, {"1KBB", 1, "KBB"},
                      {"1T", 1, "T"},     {"1e", 1, "e"},       {"1,5M", 1, ",5M"},      {"-", 0, "-"},
                      {"2E+G", 2, "E+G"}, {"&X1", 0, "&X1"}};
  ExpectSizes(rows);
}

}  // namespace
}  // namespace parcelo::testing
