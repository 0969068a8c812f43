#pragma once

// A slow model of the number-text reader, built another way (spaces
// stripped first, regular expressions, strtod in the C locale, big-number
// arithmetic for octal), to check the real reader against. Keep texts
// short: std::regex recurses once per character. The expressions are
// compiled once; compiling them is what costs.

#include <cstdint>
#include <cstdlib>
#include <regex>
#include <string>
#include <vector>

namespace parcelo::testing {

inline std::string OctalToDecimal(const std::string& octal) {
  std::vector<std::uint64_t> limbs{0};  // base 10^9, least significant first
  for (char c : octal) {
    std::uint64_t carry = static_cast<std::uint64_t>(c - '0');
    for (auto& limb : limbs) {
      limb = limb * 8 + carry;
      carry = limb / 1000000000;
      limb %= 1000000000;
    }
    if (carry) limbs.push_back(carry);
  }
  std::string text = std::to_string(limbs.back());
  for (auto it = limbs.rbegin() + 1; it != limbs.rend(); ++it) text += std::to_string(*it + 1000000000).substr(1);
  return text;
}

inline double ModelLeadingNumber(const std::string& text) {
  static const std::regex hex("^&[Hh]([0-9A-Fa-f]+)"), octal("^&[Oo]([0-7]+)"),
      decimal(R"(^[+-]?(\d+\.?\d*|\.\d+)([eEdD][+-]?\d+)?)"), spaces("[ \t\n]|\u00a0|\u2009|\u202f");
  std::string s = std::regex_replace(text, spaces, "");
  std::smatch match;
  if (std::regex_search(s, match, hex)) return std::strtod(("0x" + match[1].str()).c_str(), nullptr);
  if (std::regex_search(s, match, octal)) return std::strtod(OctalToDecimal(match[1]).c_str(), nullptr);
  if (!std::regex_search(s, match, decimal)) return 0;
  std::string number = match[0].str();
  for (char& c : number) c = (c == 'd' || c == 'D') ? 'e' : c;
  return std::strtod(number.c_str(), nullptr);
}

}  // namespace parcelo::testing
