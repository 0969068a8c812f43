#include "partset/case_folding.h"

#include <gtest/gtest.h>

namespace parcelo {
namespace {

// Each row: one text in two letter cases, script by script; then what has
// no simple folding, and bytes that are no UTF-8, which stay as they are.
TEST(CaseFolding, FoldsEveryScriptOfTheTableAlikeAndKeepsTheRest) {
  const std::pair<const char*, const char*> rows[] = {
      {"INFA.INF ÀÉÎÕÜÝÞ ĀĲŁŽ ƁǄǅǆȺ",
       "infa.inf àéîõüýþ āĳłž ɓǆǆǆⱥ"},                   // Latin-1, Extended-A and B, titlecase
      {"ΑΣΩ ΆΏ σς", "ασω άώ ΣΣ"},                        // Greek, final sigma
      {"ИНФА ЁЂЏ ѠѾҊӀӾ ԱՖ ႠჅ", "инфа ёђџ ѡѿҋӏӿ աֆ ⴀⴥ"},  // Cyrillic, Armenian, Georgian
      {"ＩＮＦＡ ẞ \u212A \u212B \u2126 µ ſ ı",
       "ｉｎｆａ ß k å ω μ s I"}};  // full width, S status, signs, dotless i
  for (const auto& [upper, lower] : rows) EXPECT_TRUE(EqualIgnoringCase(upper, lower)) << upper;
  for (const char* text : {"ß", "ŉ", "ΐ", "İ", "1 .-_", "a\xD0", "\xC0\xAF"})
    EXPECT_EQ(FoldCase(text), text) << text;
  EXPECT_EQ(FoldCase("A\xD0Б"), "a\xD0б");
  EXPECT_FALSE(EqualIgnoringCase("\xC1", "\xE1"));  // Latin-1 bytes are no UTF-8
}

// The program's own names match in any ASCII letter case ("001.DRB": PartNames),
// and nothing else does.
TEST(CaseFolding, AsciiFoldingMatchesOnlyAsciiLetters) {
  EXPECT_FALSE(EqualIgnoringAsciiCase("ИНФА", "инфа") || EqualIgnoringAsciiCase("[", "{"));
}

}  // namespace
}  // namespace parcelo
