#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace parcelo {

// Returns the number a text starts with, the way the piece-size field and
// part numbers are read: blanks, tabs, line feeds, no-break spaces (U+00A0)
// and thin spaces (U+2009, U+202F), in UTF-8, are skipped anywhere;
// then an optional sign, digits with at most one decimal point (always a
// full stop, whatever the locale) and an optional E or D exponent; or "&H"
// / "&O" followed by hexadecimal / octal digits. A text that starts with no
// number reads as 0. Never throws; a result too large is ±infinity.
double ReadLeadingNumber(std::string_view text);

// A text's leading number and how many bytes of the text it takes: up to
// its last character, not counting the spaces skipped after it (0 when the
// text starts with no number).
struct NumberPrefix {
  double value = 0;
  std::size_t length = 0;
};

// Reads the leading number as ReadLeadingNumber does, and where it ends.
// An exponent letter with no digits after it is not part of the number.
NumberPrefix ReadNumberPrefix(std::string_view text);

// Returns how many bytes of the space the number reader skips the text
// starts with (one character of it), 0 when it starts with none.
std::size_t SkippedLength(std::string_view text);

// Returns a whole number as plain decimal text: no exponent, no fraction,
// no leading blank ("4", "1000").
std::string FormatWholeNumber(double value);

}  // namespace parcelo
