#pragma once

#include <string>
#include <string_view>

namespace parcelo {

// Returns the number a text starts with, the way the piece-size field and
// part numbers are read: blanks, tabs and line feeds are skipped anywhere;
// then an optional sign, digits with at most one decimal point (always a
// full stop, whatever the locale) and an optional E or D exponent; or "&H"
// / "&O" followed by hexadecimal / octal digits. A text that starts with no
// number reads as 0. Never throws; a result too large is ±infinity.
double ReadLeadingNumber(std::string_view text);

// Returns a whole number as plain decimal text: no exponent, no fraction,
// no leading blank ("4", "1000").
std::string FormatWholeNumber(double value);

}  // namespace parcelo
