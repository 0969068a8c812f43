#include "io/wide_text.h"

#include <cstdint>

namespace parcelo {

std::string Utf8FromUtf16(std::u16string_view text) {
  std::string utf8;
  utf8.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    std::uint32_t code = text[i];
    if (code >= 0xD800 && code <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      code = 0x10000 + ((code - 0xD800) << 10) + (text[++i] - 0xDC00u);
    }
    const int extra = code < 0x80 ? 0 : code < 0x800 ? 1 : code < 0x10000 ? 2 : 3;
    static constexpr unsigned kLead[] = {0x00, 0xC0, 0xE0, 0xF0};
    utf8 += static_cast<char>(kLead[extra] | (code >> (6 * extra)));
    for (int k = extra - 1; k >= 0; --k)
      utf8 += static_cast<char>(0x80 | ((code >> (6 * k)) & 0x3F));
  }
  return utf8;
}

std::u16string Utf16FromUtf8(std::string_view text) {
  std::u16string utf16;
  utf16.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead < 0x80   ? 1
                               : lead < 0xC2 ? 0
                               : lead < 0xE0 ? 2
                               : lead < 0xF0 ? 3
                               : lead < 0xF5 ? 4
                                             : 0;
    std::uint32_t code = length == 1 ? lead : lead & (0xFFu >> (length + 1));
    bool good = length > 0 && i + length <= text.size();
    for (std::size_t k = 1; good && k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      good = (next & 0xC0) == 0x80;
      code = (code << 6) | (next & 0x3Fu);
    }
    // Overlong three- and four-byte forms, and values past U+10FFFF.
    good = good && !(length == 3 && code < 0x800) &&
           !(length == 4 && (code < 0x10000 || code > 0x10FFFF));
    if (!good) {
      utf16 += u'\uFFFD';
      ++i;
      continue;
    }
    if (code >= 0x10000) {
      utf16 += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
      utf16 += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
    } else {
      utf16 += static_cast<char16_t>(code);
    }
    i += length;
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
