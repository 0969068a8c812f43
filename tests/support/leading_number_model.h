#pragma once

// A slow, plain model of the number-text reader, built another way (blanks
// stripped first, a regular expression, strtod in the C locale, decimal
// big-number arithmetic for octal), for tests to check the real reader
// against. Texts should be short: std::regex recurses per character.

#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <regex>
#include <string>
#include <vector>

namespace parcelo::testing {

// The decimal text of an octal digit string, by schoolbook arithmetic.
inline std::string OctalToDecimal(const std::string& octal) {
  std::vector<std::uint32_t> limbs{0};  // base 10^9, least significant first
  for (char c : octal) {
    std::uint64_t carry = static_cast<std::uint64_t>(c - '0');
    for (auto& limb : limbs) {
      const std::uint64_t value = static_cast<std::uint64_t>(limb) * 8 + carry;
      limb = static_cast<std::uint32_t>(value % 1000000000);
      carry = value / 1000000000;
    }
    if (carry) limbs.push_back(static_cast<std::uint32_t>(carry));
  }
  std::string text = std::to_string(limbs.back());
  for (auto it = limbs.rbegin() + 1; it != limbs.rend(); ++it) {
    std::string part = std::to_string(*it);
    text += std::string(9 - part.size(), '0') + part;
  }
  return text;
}

inline double ModelLeadingNumber(const std::string& text) {
  std::string s;
  for (char c : text) {
    if (c != ' ' && c != '\t' && c != '\n') s.push_back(c);
  }
  static const std::regex kHex("^&[Hh]([0-9A-Fa-f]+)");
  static const std::regex kOctal("^&[Oo]([0-7]+)");
  static const std::regex kDecimal(R"(^[+-]?(\d+\.?\d*|\.\d+)([eEdD][+-]?\d+)?)");
  std::smatch match;
  if (std::regex_search(s, match, kHex)) {
    return std::strtod(("0x" + match[1].str()).c_str(), nullptr);
  }
  if (std::regex_search(s, match, kOctal)) {
    return std::strtod(OctalToDecimal(match[1].str()).c_str(), nullptr);
  }
  if (!std::regex_search(s, match, kDecimal)) {
    return 0;
  }
  std::string number = match[0].str();
  for (char& c : number) {
    if (c == 'd' || c == 'D') c = 'e';
  }
  return std::strtod(number.c_str(), nullptr);
}

}  // namespace parcelo::testing
