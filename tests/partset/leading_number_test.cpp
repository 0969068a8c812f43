#include "partset/leading_number.h"

#include <gtest/gtest.h>

#include <clocale>
#include <limits>

namespace parcelo::testing {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(LeadingNumber, ReadsTheNumberTheTextStartsWith) {
  // clang-format off
  const std::pair<std::string, double> rows[] = {
      {"", 0},          {"12abc", 12},  {" \t\n1\n0 0", 100}, {"1D+3", 1e3},  {"25e-1", 2.5},    {"1e+", 1},
      {".5", 0.5},      {"5.", 5},      {"1.2.3", 1.2},      {"+7", 7},     {"--7", 0},        {".", 0},
      {"&hff", 255},    {"&o78", 7},    {"& H 1 0", 16},     {"&X1", 0},    {"-&H10", 0},      {"\r5", 0},
      {"-1e999", -kInf}, {"1e-999", 0}, {std::string(400, '9') + "e-10", kInf}, {"&H" + std::string(300, 'f'), kInf},
      {"1\u00a0000\u2009000\u202f5", 10000005}, {"\u00a0-2", -2}, {"1\u00a0e\u20093", 1e3}, {"1\u2008 0", 1}};
  // clang-format on
  for (const auto& [text, value] : rows) {
    EXPECT_EQ(ReadLeadingNumber(text), value) << ::testing::PrintToString(text);
  }
}

TEST(LeadingNumber, DecimalPointIsAFullStopWhateverTheLocale) {
  if (!std::setlocale(LC_ALL, "ru_RU.UTF-8")) GTEST_SKIP() << "no ru_RU.UTF-8 locale here";
  EXPECT_EQ(ReadLeadingNumber("2.5"), 2.5);
  EXPECT_EQ(ReadLeadingNumber("2,5"), 2);
  std::setlocale(LC_ALL, "C");
}

}  // namespace
}  // namespace parcelo::testing
