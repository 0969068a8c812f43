#pragma once

// UTF-8, read and written one character at a time: the one decoder every
// text conversion of the program goes through. Pure text functions.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace parcelo {

// What a decoder takes for a character. Strict UTF-8 refuses the code
// points of surrogates (U+D800..U+DFFF); a Windows name may hold one without
// its pair, and travels as the three bytes UTF-8 would give it (as WTF-8
// does), so the names crossing into Windows' wide calls allow them.
enum class Surrogates { Refused, Allowed };

// Reads the UTF-8 character at `bytes[i]` and moves `i` past it. Returns
// nothing, leaving `i` alone, when no well-formed character starts there:
// an overlong form, a value above U+10FFFF, a cut sequence, a stray
// continuation byte, or (unless allowed) a surrogate.
std::optional<char32_t> NextUtf8Character(std::string_view bytes, std::size_t& i,
                                          Surrogates surrogates = Surrogates::Refused);

// True when the bytes are well-formed UTF-8 (NextUtf8Character's rules,
// surrogates refused).
bool IsValidUtf8(std::string_view bytes);

// Appends a character (at most U+10FFFF) to `out` as UTF-8.
void AppendUtf8(std::string& out, char32_t character);

}  // namespace parcelo
