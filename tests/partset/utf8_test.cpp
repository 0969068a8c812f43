#include "partset/utf8.h"

#include <gtest/gtest.h>

namespace parcelo {
namespace {

std::string Reencoded(std::string_view bytes, Surrogates surrogates) {
  std::string out;
  for (std::size_t i = 0; i < bytes.size();) {
    const std::optional<char32_t> character = NextUtf8Character(bytes, i, surrogates);
    if (!character) return out + "<stop>";
    AppendUtf8(out, *character);
  }
  return out;
}

TEST(Utf8, TakesEveryWellFormedSequenceAndRefusesEveryIllFormedOne) {
  for (const std::string valid : {"", "film.avi", "Фильм №", "\xED\x9F\xBF", "\xEE\x80\x80", "\xF4\x8F\xBF\xBF"}) {
    EXPECT_TRUE(IsValidUtf8(valid)) << ::testing::PrintToString(valid);
    EXPECT_EQ(Reencoded(valid, Surrogates::Refused), valid) << ::testing::PrintToString(valid);
  }
  // Overlong forms, surrogates, beyond U+10FFFF, lone or cut sequences, Windows-1251 "Отчёт".
  for (const std::string bad :
       {"\xC0\xAF", "\xE0\x9F\xBF", "\xF0\x8F\xBF\xBF", "\xED\xA0\x80", "\xED\xBF\xBF", "\xF4\x90\x80\x80", "\xFF",
        "\x80", "\xE2\x84", "\xE2\x28\x96", "\xCE\xF2\xF7\xB8\xF2"}) {
    EXPECT_FALSE(IsValidUtf8(bad)) << ::testing::PrintToString(bad);
  }
  // A lone surrogate, as a Windows name may hold it, passes only where allowed.
  EXPECT_EQ(Reencoded("a\xED\xA0\x80", Surrogates::Allowed), "a\xED\xA0\x80");
  EXPECT_EQ(Reencoded("\xED\xBF\xBF\xC0\xAF", Surrogates::Allowed), "\xED\xBF\xBF<stop>");
}

}  // namespace
}  // namespace parcelo
