#pragma once

#include <string>
#include <string_view>

#include "io/wide_text.h"

namespace parcelo {

// UTF-8 and Windows' wide strings, where wchar_t is a UTF-16 unit; for the
// Windows side of the file layer and its tests only.
std::wstring WideFromUtf8(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);

}  // namespace parcelo
