#include "io/wide_text.h"
#include "io/windows_wide_text.h"

#include <optional>

#include "partset/utf8.h"

namespace parcelo {

std::string Utf8FromUtf16(std::u16string_view text) {
  std::string utf8;
  utf8.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t code = text[i];
    if (code >= 0xD800 && code <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      code = 0x10000 + ((code - 0xD800) << 10) + (text[++i] - 0xDC00u);
    }
    AppendUtf8(utf8, code);
  }
  return utf8;
}

std::u16string Utf16FromUtf8(std::string_view text) {
  std::u16string utf16;
  utf16.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const std::optional<char32_t> code = NextUtf8Character(text, i, Surrogates::Allowed);
    if (!code) {
      utf16 += u'\uFFFD';
      ++i;
    } else if (*code >= 0x10000) {
      utf16 += static_cast<char16_t>(0xD800 + ((*code - 0x10000) >> 10));
      utf16 += static_cast<char16_t>(0xDC00 + ((*code - 0x10000) & 0x3FF));
    } else {
      utf16 += static_cast<char16_t>(*code);
    }
  }
  return utf16;
}

#ifdef _WIN32
std::wstring WideFromUtf8(std::string_view text) {
  const std::u16string utf16 = Utf16FromUtf8(text);
  return std::wstring(utf16.begin(), utf16.end());
}

std::string Utf8FromWide(std::wstring_view text) {
  return Utf8FromUtf16(std::u16string(text.begin(), text.end()));
}
#endif

}  // namespace parcelo
