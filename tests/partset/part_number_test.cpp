#include "partset/part_number.h"

#include <gtest/gtest.h>

namespace parcelo {
namespace {

// The next part's number has leading zeros up to three digits only; the
// extension matches in any letter case.
TEST(PartNames, NumbersCountUpAndTheExtensionMatchesInAnyLetterCase) {
  const std::pair<const char*, const char*> rows[] = {{"001", "002"},   {"009", "010"},
                                                      {"099", "100"},   {"999", "1000"},
                                                      {"1000", "1001"}, {"", "001"}};
  for (const auto& [before, after] : rows) {
    std::string number = before;
    IncFn(number);
    EXPECT_EQ(number, after) << before;
  }
  EXPECT_TRUE(HasPartExtension("001.DRB") && HasPartExtension(".drb"));
  EXPECT_FALSE(HasPartExtension("001.drbx") || HasPartExtension("drb") ||
               HasPartExtension("Infa.inf"));
}

}  // namespace
}  // namespace parcelo
