#include "partset/leading_number.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <random>

#include "support/leading_number_model.h"

namespace parcelo {
namespace {

struct Reading {
  const char* text;
  double value;
};

std::ostream& operator<<(std::ostream& out, const Reading& row) {
  return out << ::testing::PrintToString(std::string(row.text));
}

class LeadingNumberTest : public ::testing::TestWithParam<Reading> {};

TEST_P(LeadingNumberTest, ReadsTheNumberTheTextStartsWith) {
  EXPECT_DOUBLE_EQ(ReadLeadingNumber(GetParam().text), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LeadingNumberTest,
    ::testing::Values(Reading{"1000000", 1000000}, Reading{"", 0}, Reading{"abc", 0},
                      Reading{"12abc", 12}, Reading{"1 000", 1000}, Reading{" \t\n1\n0 0", 100},
                      Reading{"1e3", 1000}, Reading{"1E3", 1000}, Reading{"1d3", 1000},
                      Reading{"1D+3", 1000}, Reading{"25e-1", 2.5}, Reading{"1e", 1},
                      Reading{"1e+", 1}, Reading{"2.5", 2.5}, Reading{".5", 0.5},
                      Reading{"5.", 5}, Reading{"1.2.3", 1.2}, Reading{"-7", -7},
                      Reading{"+7", 7}, Reading{"--7", 0}, Reading{"-", 0}, Reading{".", 0},
                      Reading{"&HFF", 255}, Reading{"&hff", 255}, Reading{"&O17", 15},
                      Reading{"&o78", 7}, Reading{"& H 1 0", 16}, Reading{"&X1", 0},
                      Reading{"&", 0}, Reading{"-&H10", 0}, Reading{"\r5", 0},
                      Reading{"9.6", 9.6}, Reading{"004", 4}, Reading{"1000.drb", 1000}));

TEST(LeadingNumber, HugeExponentsBecomeInfinityOrZero) {
  EXPECT_EQ(ReadLeadingNumber("1e999"), std::numeric_limits<double>::infinity());
  EXPECT_EQ(ReadLeadingNumber("-1e999"), -std::numeric_limits<double>::infinity());
  EXPECT_EQ(ReadLeadingNumber("1e-999"), 0.0);
  EXPECT_EQ(ReadLeadingNumber(std::string(400, '9') + "e-10"),
            std::numeric_limits<double>::infinity());
  EXPECT_EQ(ReadLeadingNumber("0.000001e-400"), 0.0);
  EXPECT_EQ(ReadLeadingNumber("1e-310"), testing::ModelLeadingNumber("1e-310"));
  EXPECT_EQ(ReadLeadingNumber("-4e-320"), testing::ModelLeadingNumber("-4e-320"));
}

TEST(LeadingNumber, DecimalPointIsAFullStopWhateverTheLocale) {
  const char* previous = std::setlocale(LC_ALL, nullptr);
  const std::string saved = previous ? previous : "C";
  if (!std::setlocale(LC_ALL, "ru_RU.UTF-8") && !std::setlocale(LC_ALL, "de_DE.UTF-8")) {
    GTEST_SKIP() << "no locale with a decimal comma is installed";
  }
  EXPECT_DOUBLE_EQ(ReadLeadingNumber("2.5"), 2.5);
  EXPECT_DOUBLE_EQ(ReadLeadingNumber("2,5"), 2);
  std::setlocale(LC_ALL, saved.c_str());
}

// Random short texts built from the characters the reader cares about.
std::string RandomNumberText(std::mt19937& random) {
  static const std::vector<std::string> kPieces = {
      "0", "1", "5", "9", "7", "+", "-", ".", "e", "E", "d", "D", " ", "\t", "\n", "&H", "&h",
      "&O", "&o", "&", "a", "F", "x", "8", "00", "123", "e+", "e-", "999"};
  std::uniform_int_distribution<int> length(0, 12);
  std::uniform_int_distribution<std::size_t> pick(0, kPieces.size() - 1);
  std::string text;
  for (int i = length(random); i > 0; --i) text += kPieces[pick(random)];
  return text;
}

TEST(LeadingNumber, AgreesWithASlowModelOnRandomTexts) {
  std::mt19937 random(20261206);
  for (int i = 0; i < 100000; ++i) {
    const std::string text = RandomNumberText(random);
    const double expected = testing::ModelLeadingNumber(text);
    const double actual = ReadLeadingNumber(text);
    ASSERT_TRUE(actual == expected || (std::isnan(actual) && std::isnan(expected)))
        << ::testing::PrintToString(text) << " read " << actual << ", model " << expected;
  }
}

TEST(LeadingNumber, LongHexAndOctalAreCorrectlyRounded) {
  for (const std::string digits : {"1fffffffffffff1", "123456789abcdef0123", "ffffffffffffffff"}) {
    EXPECT_EQ(ReadLeadingNumber("&H" + digits), testing::ModelLeadingNumber("&H" + digits)) << digits;
  }
  for (const std::string digits : {"777777777777777777777", "1234567012345670123456"}) {
    EXPECT_EQ(ReadLeadingNumber("&O" + digits), testing::ModelLeadingNumber("&O" + digits)) << digits;
  }
  EXPECT_EQ(ReadLeadingNumber("&H" + std::string(300, 'f')), std::numeric_limits<double>::infinity());
}

TEST(FormatWholeNumber, WritesPlainDecimals) {
  EXPECT_EQ(FormatWholeNumber(4), "4");
  EXPECT_EQ(FormatWholeNumber(1000), "1000");
  EXPECT_EQ(FormatWholeNumber(1e20), "100000000000000000000");
}

}  // namespace
}  // namespace parcelo
