#include "partset/case_folding.h"

#include <gtest/gtest.h>

namespace parcelo {
namespace {

// Each row: one text in two letter cases, script by script.
TEST(CaseFolding, MatchesBothLetterCasesOfEveryScriptInTheTable) {
  const std::tuple<const char*, const char*, const char*> rows[] = {
      {"Latin-1, Extended-A and B, titlecase", "INFA.INF ÀÉÎÕÜÝÞ ĀĲŁŽ ƁǄǅǆȺ", "infa.inf àéîõüýþ āĳłž ɓǆǆǆⱥ"},
      {"Greek, final sigma", "ΑΣΩ ΆΏ σς", "ασω άώ ΣΣ"},
      {"Cyrillic, Armenian, Georgian", "ИНФА ЁЂЏ ѠѾҊӀӾ ԱՖ ႠჅ", "инфа ёђџ ѡѿҋӏӿ աֆ ⴀⴥ"},
      {"full width, S, signs, dotless i", "ＩＮＦＡ ẞ \u212A \u212B \u2126 µ ſ ı", "ｉｎｆａ ß k å ω μ s I"}};
  for (const auto& [name, upper, lower] : rows) EXPECT_TRUE(EqualIgnoringCase(upper, lower)) << name;
}

// Letters with no simple folding, what is no letter, and bytes that are no
// UTF-8 (lone, overlong, Latin-1); the UTF-8 around such bytes folds.
TEST(CaseFolding, KeepsWhatHasNoSimpleFolding) {
  for (const std::string text : {"ß", "ŉ", "ΐ", "İ", "1 .-_", "a\xD0", "\xC0\xAF"})
    EXPECT_EQ(FoldCase(text), text) << ::testing::PrintToString(text);
  EXPECT_EQ(FoldCase("A\xD0Б"), "a\xD0б");
  EXPECT_FALSE(EqualIgnoringCase("\xC1", "\xE1"));
}

// The program's own names match in any ASCII letter case ("001.DRB": PartNames),
// and nothing else does.
TEST(CaseFolding, AsciiFoldingMatchesOnlyAsciiLetters) {
  EXPECT_FALSE(EqualIgnoringAsciiCase("ИНФА", "инфа") || EqualIgnoringAsciiCase("[", "{"));
}

}  // namespace
}  // namespace parcelo
