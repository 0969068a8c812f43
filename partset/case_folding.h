#pragma once

#include <string>
#include <string_view>

namespace parcelo {

// Returns UTF-8 text with every character replaced by its simple case
// folding (the one-character mappings of Unicode's CaseFolding.txt, status
// C and S): "ИНФА.INF" and "инфа.inf" fold alike, as do "Σ", "σ" and "ς";
// and the dotless "ı" folds to "i", as the upper-case tables of Windows,
// NTFS and exFAT pair it with "I".
// Bytes that are not well-formed UTF-8 stay as they are, so such text
// compares byte for byte. No I/O; never throws but for memory.
std::string FoldCase(std::string_view utf8);

// True when two UTF-8 texts are equal after FoldCase.
bool EqualIgnoringCase(std::string_view a, std::string_view b);

// Returns the byte with A..Z made a..z; any other byte as it is.
inline char FoldAsciiCase(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// True when two texts are equal after FoldAsciiCase of each byte: the
// letter case of the program's own names ("Infa.inf", ".drb"), which every
// file system that ignores case ignores alike.
bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b);

}  // namespace parcelo
