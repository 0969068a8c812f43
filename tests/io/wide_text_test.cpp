#include "io/wide_text.h"

#include <gtest/gtest.h>

namespace parcelo {
namespace {

// Names go to Windows' wide calls and come back: characters beyond U+FFFF
// as pairs, and a lone surrogate a Windows name may hold, survive the trip.
TEST(WideText, NamesSurviveTheTripToUtf16AndBack) {
  const std::tuple<std::string, std::string, std::u16string> rows[] = {
      {"below U+FFFF", "\u00e9\u0800\uffff", u"\u00e9\u0800\uffff"},
      {"beyond U+FFFF", "\U0001F600\U0010FFFF", u"\U0001F600\U0010FFFF"},
      {"a high surrogate alone", "\xed\xa0\x80x", std::u16string{0xD800, u'x'}},
      {"a low surrogate alone", "\xed\xb0\x80", std::u16string{0xDC00}}};
  for (const auto& [name, utf8, utf16] : rows) {
    SCOPED_TRACE(name);
    EXPECT_EQ(Utf16FromUtf8(utf8), utf16);
    EXPECT_EQ(Utf8FromUtf16(utf16), utf8);
  }
}

}  // namespace
}  // namespace parcelo
