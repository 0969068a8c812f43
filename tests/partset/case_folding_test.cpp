#include "partset/case_folding.h"

#include <gtest/gtest.h>

namespace parcelo {
namespace {

// Each row: two spellings of one name in different letter case.
TEST(CaseFolding, FoldsEveryScriptOfTheTableAlike) {
  const std::pair<const char*, const char*> rows[] = {
      {"INFA.INF", "infa.inf"},
      {"ÀÉÎÕÜÝÞ", "àéîõüýþ"},                         // Latin-1
      {"ĀĲŁŽ", "āĳłž"},                               // Latin Extended-A
      {"ƁǄǅǆȺ", "ɓǆǆǆⱥ"},                             // Latin Extended-B, titlecase too
      {"ΑΣΩ ΆΏ", "ασω άώ"},                           // Greek
      {"σς", "ΣΣ"},                                   // final sigma folds to sigma
      {"ИНФА ЁЂЏ", "инфа ёђџ"},                       // Cyrillic with Ѐ-Џ
      {"ѠѾҊӀӾ", "ѡѿҋӏӿ"},                             // Cyrillic Ѡ-ӿ, every other letter
      {"ԱՖ", "աֆ"},                                   // Armenian
      {"ႠჅ", "ⴀⴥ"},                                   // Georgian
      {"ＩＮＦＡ", "ｉｎｆａ"},                       // full-width Latin
      {"ẞ \u212A \u212B \u2126 µ ſ", "ß k å ω μ s"},  // S-status foldings, Kelvin, Ångström, Ohm signs
  };
  for (const auto& [upper, lower] : rows) {
    EXPECT_TRUE(EqualIgnoringCase(upper, lower)) << upper;
    EXPECT_EQ(FoldCase(upper), FoldCase(lower)) << upper;
  }
}

TEST(CaseFolding, KeepsWhatHasNoSimpleFoldingAndBadBytes) {
  const char* unchanged[] = {"ß", "i", "ŉ", "ΐ", "123 .-_", "ab\xD0", "\xC0\xAF", "\xFF\xFE"};
  for (const char* text : unchanged) EXPECT_EQ(FoldCase(text), text) << text;
  EXPECT_EQ(FoldCase("İ"), "İ");  // only a Turkic or multi-character folding
  EXPECT_EQ(FoldCase("A\xD0Б"), "a\xD0б");
  EXPECT_FALSE(EqualIgnoringCase("INFA.INF", "infa.in"));
  EXPECT_FALSE(EqualIgnoringCase("\xC1", "\xE1"));  // Latin-1 bytes are no UTF-8: byte for byte
  EXPECT_FALSE(EqualIgnoringCase("Ж", "ж\xD0"));
}

}  // namespace
}  // namespace parcelo
