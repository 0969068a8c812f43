#include "partset/part_number.h"

#include <gtest/gtest.h>

namespace parcelo {
namespace {

// The next part's number has leading zeros up to three digits only.
TEST(PartNames, NextNumberHasLeadingZerosToThreeDigits) {
  const std::pair<const char*, const char*> rows[] = {{"001", "002"},  {"009", "010"},   {"099", "100"},
                                                      {"999", "1000"}, {"1000", "1001"}, {"", "001"}};
  for (const auto& [before, after] : rows) {
    std::string number = before;
    IncFn(number);
    EXPECT_EQ(number, after) << before;
  }
}

TEST(PartNames, ExtensionMatchesInAnyLetterCase) {
  const std::pair<const char*, bool> rows[] = {
      {"001.DRB", true}, {".drb", true}, {"001.drbx", false}, {"drb", false}, {"Infa.inf", false}};
  for (const auto& [name, isPart] : rows) EXPECT_EQ(HasPartExtension(name), isPart) << name;
}

}  // namespace
}  // namespace parcelo
