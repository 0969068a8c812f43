#include "partset/part_number.h"

#include <gtest/gtest.h>

namespace parcelo {
namespace {

TEST(IncFn, AddsLeadingZerosUpToThreeDigitsOnly) {
  const std::pair<const char*, const char*> rows[] = {
      {"001", "002"}, {"009", "010"}, {"099", "100"}, {"999", "1000"}, {"1000", "1001"},
      {"1", "002"},   {"", "001"},    {"abc", "001"}, {"8", "009"}};
  for (const auto& [before, after] : rows) {
    std::string number = before;
    IncFn(number);
    EXPECT_EQ(number, after) << "from " << before;
  }
}

TEST(IncFn, NumbersAThousandPartsInOrder) {
  std::string number(kFirstPartNumber);
  for (int k = 1; k < 1000; ++k) IncFn(number);
  EXPECT_EQ(number, "1000");
  EXPECT_EQ(PartFileName(number), "1000.drb");
}

TEST(HasPartExtension, IgnoresLetterCase) {
  EXPECT_TRUE(HasPartExtension("001.drb"));
  EXPECT_TRUE(HasPartExtension("001.DRB"));
  EXPECT_TRUE(HasPartExtension(".drb"));
  EXPECT_FALSE(HasPartExtension("001.drbx"));
  EXPECT_FALSE(HasPartExtension("drb"));
  EXPECT_FALSE(HasPartExtension("Infa.inf"));
}

}  // namespace
}  // namespace parcelo
