#pragma once

#include <string>
#include <string_view>

namespace parcelo {

// UTF-8 and UTF-16, as names cross into Windows' wide calls and back. A
// Windows name may hold a surrogate without its pair; it travels as the
// three bytes UTF-8 would give that code point (as WTF-8 does), so that a
// name read from the system opens again. Pure text functions.

// Returns UTF-16 text as UTF-8.
std::string Utf8FromUtf16(std::u16string_view text);

// Returns UTF-8 text as UTF-16, read by NextUtf8Character with surrogates
// allowed. A byte that starts no well-formed sequence (overlong forms and
// values above U+10FFFF included) becomes U+FFFD.
std::u16string Utf16FromUtf8(std::string_view text);

}  // namespace parcelo
