#include "partset/utf8.h"

#include <gtest/gtest.h>

namespace parcelo {
namespace {

TEST(Utf8, TakesEveryWellFormedSequenceAndRefusesEveryIllFormedOne) {
  for (const std::string valid : {"", "film.avi", "Фильм №", "\xED\x9F\xBF", "\xEE\x80\x80", "\xF4\x8F\xBF\xBF"})
    EXPECT_TRUE(IsValidUtf8(valid)) << ::testing::PrintToString(valid);
  // Overlong forms, surrogates, beyond U+10FFFF, lone or cut sequences, Windows-1251 "Отчёт".
  for (const std::string bad : {"\xC0\xAF", "\xE0\x9F\xBF", "\xF0\x8F\xBF\xBF", "\xED\xA0\x80", "\xED\xBF\xBF",
                                "\xF4\x90\x80\x80", "\xFF", "\x80", "\xE2\x84", "\xE2\x28\x96", "\xCE\xF2\xF7\xB8\xF2"})
    EXPECT_FALSE(IsValidUtf8(bad)) << ::testing::PrintToString(bad);
}

}  // namespace
}  // namespace parcelo
