#include "partset/leading_number.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <system_error>

namespace parcelo {
namespace {

// The spaces a number may be written with: blanks, tabs, line feeds, and
// the no-break and thin spaces of typeset numbers ("1 000 000"), in UTF-8.
constexpr std::string_view kNumberSpaces[] = {" ", "\t", "\n", "\u00a0", "\u2009", "\u202f"};

}  // namespace

std::size_t SkippedLength(std::string_view text) {
  for (const std::string_view space : kNumberSpaces) {
    if (text.substr(0, space.size()) == space) return space.size();
  }
  return 0;
}

namespace {

// Walks a text while skipping the characters the reader ignores.
class SignificantChars {
 public:
  explicit SignificantChars(std::string_view text) : text_(text) {}

  // The next significant character, or -1 at the end.
  int Peek() {
    while (pos_ < text_.size()) {
      const std::size_t skipped = SkippedLength(text_.substr(pos_));
      if (skipped == 0) break;
      pos_ += skipped;
    }
    return pos_ < text_.size() ? static_cast<unsigned char>(text_[pos_]) : -1;
  }
  void Take() { end_ = ++pos_; }

  // Where the characters taken so far end; Rewind goes back there.
  std::size_t end() const { return end_; }
  void Rewind(std::size_t end) { pos_ = end_ = end; }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
};

bool IsDecimalDigit(int c) { return c >= '0' && c <= '9'; }

int DigitValue(int c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 99;
}

// Reads hexadecimal (radix 16) or octal (radix 8) digits, correctly rounded
// however many there are: octal digits are regrouped into hexadecimal ones.
double ReadRadixDigits(SignificantChars& chars, int radix) {
  std::string bits;
  const int bitsPerDigit = radix == 16 ? 4 : 3;
  for (int c = chars.Peek(); DigitValue(c) < radix; c = chars.Peek()) {
    const int value = DigitValue(c);
    for (int bit = bitsPerDigit - 1; bit >= 0; --bit)
      bits.push_back((value >> bit) & 1 ? '1' : '0');
    chars.Take();
  }
  if (bits.empty()) return 0;
  bits.insert(0, (4 - bits.size() % 4) % 4, '0');
  std::string hex;
  for (std::size_t i = 0; i < bits.size(); i += 4) {
    const int nibble = (bits[i] - '0') * 8 + (bits[i + 1] - '0') * 4 + (bits[i + 2] - '0') * 2 +
                       (bits[i + 3] - '0');
    hex.push_back("0123456789abcdef"[nibble]);
  }
  double value = 0;
  const auto result =
      std::from_chars(hex.data(), hex.data() + hex.size(), value, std::chars_format::hex);
  if (result.ec == std::errc::result_out_of_range) return std::numeric_limits<double>::infinity();
  return value;
}

// Reads the exponent digits after E or D; false when there are none, in which
// case the letter is not part of the number.
bool ReadExponent(SignificantChars& chars, std::string& number, std::int64_t& exponent) {
  std::string text = "e";
  int sign = 1;
  int c = chars.Peek();
  if (c == '+' || c == '-') {
    if (c == '-') sign = -1;
    text.push_back(static_cast<char>(c));
    chars.Take();
  }
  bool any = false;
  std::int64_t value = 0;
  for (c = chars.Peek(); IsDecimalDigit(c); c = chars.Peek()) {
    text.push_back(static_cast<char>(c));
    if (value < 1'000'000'000) value = value * 10 + (c - '0');
    any = true;
    chars.Take();
  }
  if (!any) return false;
  number += text;
  exponent = sign * value;
  return true;
}

}  // namespace

double ReadLeadingNumber(std::string_view text) { return ReadNumberPrefix(text).value; }

NumberPrefix ReadNumberPrefix(std::string_view text) {
  SignificantChars chars(text);
  int c = chars.Peek();
  if (c == '&') {
    chars.Take();
    c = chars.Peek();
    chars.Take();
    if (c == 'H' || c == 'h') return {ReadRadixDigits(chars, 16), chars.end()};
    if (c == 'O' || c == 'o') return {ReadRadixDigits(chars, 8), chars.end()};
    return {};
  }

  std::string number;
  bool negative = false;
  if (c == '+' || c == '-') {
    negative = (c == '-');
    if (negative) number.push_back('-');
    chars.Take();
  }

  // The decimal magnitude of the first significant digit, kept to tell an
  // overflow from an underflow when the value is out of range.
  std::int64_t leadingMagnitude = 0;
  bool seenPoint = false, anyDigit = false, seenNonZero = false;
  for (c = chars.Peek(); IsDecimalDigit(c) || (c == '.' && !seenPoint); c = chars.Peek()) {
    chars.Take();
    number.push_back(static_cast<char>(c));
    if (c == '.') {
      seenPoint = true;
      continue;
    }
    anyDigit = true;
    if (!seenNonZero && c != '0') seenNonZero = true;
    if (seenNonZero && !seenPoint) ++leadingMagnitude;
    if (!seenNonZero && seenPoint) --leadingMagnitude;
  }
  if (!anyDigit) return {};

  std::int64_t exponent = 0;
  if (c == 'E' || c == 'e' || c == 'D' || c == 'd') {
    const std::size_t mantissaEnd = chars.end();
    chars.Take();
    if (!ReadExponent(chars, number, exponent)) chars.Rewind(mantissaEnd);
  }

  double value = 0;
  const char* first = number.data();
  const char* last = first + number.size();
  auto [end, error] = std::from_chars(first, last, value);
  if (error == std::errc::result_out_of_range) {
    const bool overflow = leadingMagnitude + exponent > 0;
    value = overflow ? std::numeric_limits<double>::infinity() : 0.0;
    if (negative) value = -value;
  }
  (void)end;
  return {value, chars.end()};
}

std::string FormatWholeNumber(double value) {
  char buffer[400];
  auto [end, error] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 0);
  if (error != std::errc()) return "0";
  return std::string(buffer, end);
}

}  // namespace parcelo
