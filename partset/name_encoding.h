#pragma once

// The text of a source name in the info file. Sets made on Windows hold the
// name in the Cyrillic ANSI code page (Windows-1251); names written here are
// UTF-8 unless Windows-1251 can hold them. These functions only convert
// text: no I/O, and bad input gives a result, never an exception.

#include <optional>
#include <string>
#include <string_view>

namespace parcelo {

// Returns Windows-1251 bytes as UTF-8. The one byte the code page leaves
// undefined, 0x98, becomes U+FFFD.
std::string Cp1251ToUtf8(std::string_view bytes);

// Returns UTF-8 text as Windows-1251 bytes; nothing when the text is not
// valid UTF-8 or holds a character that has no Windows-1251 byte.
std::optional<std::string> Utf8ToCp1251(std::string_view utf8);

// Returns the name an info file holds, as UTF-8: valid UTF-8 is taken as it
// is, anything else is read as Windows-1251.
//
// The limit of that guess: Windows-1251 bytes that happen to form valid
// UTF-8 are taken as UTF-8. For Russian text that is rare. Of the 66 x 66
// pairs of Russian letters, only the 60 made of a capital from "В" to "Я"
// followed by "Ё" or "ё" form valid UTF-8 (bytes C2..DF then A8 or B8); so
// a set from Windows whose name has Cyrillic letters only in such pairs
// (or in a run like a small "а".."п" followed by two "Ё"/"ё") is misread,
// for example "ВЁ.txt" comes back as "¨.txt". EncodeInfoName never
// writes such bytes.
std::string DecodeInfoName(std::string_view bytes);

// Returns the bytes to write into an info file for a UTF-8 name: its
// Windows-1251 bytes when every character has one, so Windows programs
// read it; otherwise, and where those bytes would read back as UTF-8, the
// UTF-8 unchanged. ASCII names are the same bytes either way.
std::string EncodeInfoName(std::string_view utf8);

}  // namespace parcelo
