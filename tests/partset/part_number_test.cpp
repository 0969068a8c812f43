#include "partset/part_number.h"

#include <gtest/gtest.h>

namespace parcelo {
namespace {

TEST(IncFn, AddsLeadingZerosUpToThreeDigitsOnly) {
  const std::pair<const char*, const char*> rows[] = {{"001", "002"},  {"009", "010"},   {"099", "100"},
                                                      {"999", "1000"}, {"1000", "1001"}, {"", "001"}};
  for (const auto& [before, after] : rows) {
    std::string number = before;
    IncFn(number);
    EXPECT_EQ(number, after) << before;
  }
}

TEST(PartNames, ExtensionMatchesInAnyLetterCase) {
  EXPECT_TRUE(HasPartExtension("001.DRB") && HasPartExtension(".drb"));
  EXPECT_FALSE(HasPartExtension("001.drbx") || HasPartExtension("drb") || HasPartExtension("Infa.inf"));
}

TEST(PartNames, OnlyNumbersAsIncFnWritesThemArePartNumbers) {
  for (const char* number : {"001", "099", "999", "1000", "12345"}) EXPECT_TRUE(IsPartNumber(number)) << number;
  for (const char* text : {"", "1", "01", "000", "0001", "01000", "00a", "1e3", " 001", "-01"}) {
    EXPECT_FALSE(IsPartNumber(text)) << text;
  }
}

}  // namespace
}  // namespace parcelo
