#include "partset/name_encoding.h"

#include <gtest/gtest.h>
#include <iconv.h>

namespace parcelo::testing {
namespace {

TEST(NameEncoding, Cp1251ConvertsBothWaysAsTheCLibrary) {
  // Every byte of Windows-1251 agrees with the C library's converter, and goes back.
  iconv_t converter = iconv_open("UTF-8", "CP1251");
  ASSERT_NE(converter, reinterpret_cast<iconv_t>(-1));
  for (int value = 0; value < 256; ++value) {
    std::string byte(1, static_cast<char>(value)), library(8, '\0');
    char *in = byte.data(), *out = library.data();
    std::size_t inLeft = 1, outLeft = library.size();
    if (iconv(converter, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1)) {
      EXPECT_EQ(value, 0x98);  // the one byte the code page leaves undefined
      EXPECT_EQ(Cp1251ToUtf8(byte), "\xEF\xBF\xBD");
      continue;
    }
    library.resize(library.size() - outLeft);
    EXPECT_EQ(Cp1251ToUtf8(byte), library) << "byte " << value;
    EXPECT_EQ(Utf8ToCp1251(library), byte) << "byte " << value;
  }
  iconv_close(converter);
  for (const char* outside : {"\xC3\xA9", "\xF0\x9F\x98\x80", "\xEF\xBF\xBD", "\xC0\xAF", "\xD0"}) {
    EXPECT_EQ(Utf8ToCp1251(outside), std::nullopt) << ::testing::PrintToString(std::string(outside));
  }
}

}  // namespace
}  // namespace parcelo::testing
