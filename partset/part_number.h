#pragma once

#include <string>
#include <string_view>

namespace parcelo {

inline constexpr std::string_view kFirstPartNumber = "001";
inline constexpr std::string_view kPartExtension = ".drb";
inline constexpr std::string_view kInfoFileName = "Infa.inf";

// Replaces a part number with the next one: "001" -> "002", "099" -> "100",
// "999" -> "1000". Numbers get leading zeros up to three digits only.
void IncFn(std::string& number);

// True when `text` is a part number as IncFn writes it: decimal digits
// for 1 or more, three of them at least, no zero in front beyond that
// ("001", "999", "1000"; not "000", "0001" or "1").
bool IsPartNumber(std::string_view text);

// Returns the file name of the part with this number ("001" -> "001.drb").
std::string PartFileName(std::string_view number);

// True when a file name ends in ".drb", in any letter case.
bool HasPartExtension(std::string_view fileName);

}  // namespace parcelo
