#include "partset/name_encoding.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <algorithm>
#include <vector>

namespace parcelo {
namespace {

TEST(NameEncoding, Utf8CheckRefusesEveryIllFormedSequence) {
  const std::pair<std::string, bool> rows[] = {
      {"", true},
      {"film.avi", true},
      {std::string("a\0b", 3), true},
      {"\xD0\xA4\xD0\xB8\xD0\xBB\xD1\x8C\xD0\xBC", true},  // Фильм
      {"\xE2\x84\x96", true},                              // №
      {"\xED\x9F\xBF", true},                              // U+D7FF, just below the surrogates
      {"\xEE\x80\x80", true},                              // U+E000, just above them
      {"\xF0\x9F\x98\x80", true},                          // U+1F600
      {"\xF4\x8F\xBF\xBF", true},                          // U+10FFFF, the last one
      {"\xC0\xAF", false},                                 // overlong "/"
      {"\xC1\xBF", false},                                 // overlong U+7F
      {"\xE0\x80\xAF", false},                             // overlong "/" in three bytes
      {"\xE0\x9F\xBF", false},                             // overlong U+7FF
      {"\xF0\x8F\xBF\xBF", false},                         // overlong U+FFFF
      {"\xED\xA0\x80", false},                             // U+D800, a surrogate
      {"\xED\xBF\xBF", false},                             // U+DFFF
      {"\xF4\x90\x80\x80", false},                         // U+110000
      {"\xF5\x80\x80\x80", false},
      {"\xFF", false},
      {"\x80", false},  // a continuation on its own
      {"\xD0", false},  // cut at the end
      {"\xE2\x84", false},
      {"\xE2\x28\x96", false},          // the second byte is no continuation
      {"\xCE\xF2\xF7\xB8\xF2", false},  // Windows-1251 "Отчёт"
  };
  for (const auto& [bytes, valid] : rows) EXPECT_EQ(IsValidUtf8(bytes), valid) << testing::PrintToString(bytes);
  EXPECT_FALSE(IsValidUtf8(std::string_view("\xE2\x84\x96", 2)));  // what follows the view is not looked at
}

// What the C library's converter makes of one Windows-1251 byte; the empty
// text when it has no character for it.
std::string LibraryCp1251ToUtf8(unsigned char byte) {
  iconv_t converter = iconv_open("UTF-8", "CP1251");
  EXPECT_NE(converter, reinterpret_cast<iconv_t>(-1));
  char in[1] = {static_cast<char>(byte)}, out[8];
  char *inPointer = in, *outPointer = out;
  std::size_t inLeft = 1, outLeft = sizeof out;
  const bool converted = iconv(converter, &inPointer, &inLeft, &outPointer, &outLeft) != static_cast<std::size_t>(-1);
  iconv_close(converter);
  return converted ? std::string(out, outPointer) : std::string();
}

TEST(NameEncoding, Cp1251TableAgreesWithTheCLibraryAndConvertsBothWays) {
  for (int value = 0; value < 256; ++value) {
    const std::string byte(1, static_cast<char>(value));
    if (value == 0x98) {
      EXPECT_EQ(LibraryCp1251ToUtf8(static_cast<unsigned char>(value)), "");  // undefined in the code page
      EXPECT_EQ(Cp1251ToUtf8(byte), "\xEF\xBF\xBD");
      EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(byte)), std::nullopt);
      continue;
    }
    EXPECT_EQ(Cp1251ToUtf8(byte), LibraryCp1251ToUtf8(static_cast<unsigned char>(value))) << "byte " << value;
    EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(byte)), byte) << "byte " << value;
  }
  for (const char* outside : {"\xC3\xA9", "\xE2\x82\xB9", "\xF0\x9F\x98\x80", "\xEF\xBF\xBD", "\xC0\xAF", "\xD0"}) {
    EXPECT_EQ(Utf8ToCp1251(outside), std::nullopt) << testing::PrintToString(std::string(outside));
  }
}

TEST(NameEncoding, NamesGoOutAsCp1251WhenTheyCanAndComeBackAsUtf8) {
  struct Row {
    std::string name, written;
  };
  const Row rows[] = {
      {"Фильм.avi", "\xD4\xE8\xEB\xFC\xEC.avi"},
      {"Отчёт №1.doc",
       "\xCE\xF2\xF7\xB8\xF2 \xB9"
       "1.doc"},
      {"ёжик.txt", "\xB8\xE6\xE8\xEA.txt"},
      {"Їжак.txt", "\xAF\xE6\xE0\xEA.txt"},  // Ukrainian letters are in the code page
      {"«Отчёт» — 2€.txt", "\xAB\xCE\xF2\xF7\xB8\xF2\xBB \x97 2\x88.txt"},
      {"film 1.avi", "film 1.avi"},    // ASCII is the same either way
      {"café.txt", "café.txt"},        // é is not in the code page: stays UTF-8
      {"Фильм é.avi", "Фильм é.avi"},  // one such character keeps the whole name UTF-8
      {"日本.txt", "日本.txt"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(EncodeInfoName(row.name), row.written) << row.name;
    EXPECT_EQ(DecodeInfoName(row.written), row.name) << row.name;
    EXPECT_EQ(DecodeInfoName(EncodeInfoName(row.name)), row.name) << row.name;
  }
  EXPECT_EQ(DecodeInfoName("\x98.txt"), "\xEF\xBF\xBD.txt");
  EXPECT_EQ(EncodeInfoName("\xFF\xFE"), "\xFF\xFE");  // not UTF-8: left as it is
}

// Windows-1251 text read as UTF-8 by mistake: which pairs of Russian
// letters form valid UTF-8? All 66 x 66 of them are tried.
TEST(NameEncoding, OnlyACapitalFromVeToYaBeforeYoFormsUtf8AmongRussianLetterPairs) {
  std::vector<std::string> letters = {"Ё", "ё"};  // А..я are U+0410..U+044F
  for (char32_t c = 0x0410; c <= 0x044F; ++c) {
    letters.push_back({static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))});
  }
  ASSERT_EQ(letters.size(), 66u);
  std::vector<std::string> misread;
  for (const std::string& first : letters) {
    for (const std::string& second : letters) {
      if (IsValidUtf8(*Utf8ToCp1251(first + second))) misread.push_back(first + second);
    }
  }
  std::vector<std::string> expected;
  for (const char* capital : {"В", "Г", "Д", "Е", "Ж", "З", "И", "Й", "К", "Л", "М", "Н", "О", "П", "Р",
                              "С", "Т", "У", "Ф", "Х", "Ц", "Ч", "Ш", "Щ", "Ъ", "Ы", "Ь", "Э", "Ю", "Я"}) {
    for (const char* yo : {"Ё", "ё"}) expected.push_back(std::string(capital) + yo);
  }
  std::sort(misread.begin(), misread.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(misread, expected);  // 60 pairs: bytes C2..DF, then A8 or B8
  // Such a set from Windows is the guess's one loss; a name written here
  // stays UTF-8 instead, and comes back unchanged.
  EXPECT_EQ(DecodeInfoName(*Utf8ToCp1251("ВЁ.txt")), "\xC2\xA8.txt");
  EXPECT_EQ(DecodeInfoName(EncodeInfoName("ВЁ.txt")), "ВЁ.txt");
}

}  // namespace
}  // namespace parcelo
