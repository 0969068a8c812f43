#include "partset/name_encoding.h"

#include <array>
#include <utility>

#include "partset/utf8.h"

namespace parcelo {
namespace {

constexpr char32_t kReplacementCharacter = 0xFFFD;
constexpr char32_t kNoCharacter = 0;  // in the table: the byte is undefined

// The characters of Windows-1251 bytes 0x80..0xFF; below 0x80 it is ASCII.
// clang-format off
constexpr std::array<char32_t, 128> kCp1251High = {
    // 0x80
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    // 0x90
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    kNoCharacter, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    // 0xA0
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    // 0xB0
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
    // 0xC0..0xFF: А..я in alphabet order, without Ё/ё
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};
// clang-format on

std::optional<unsigned char> Cp1251ByteOf(char32_t character) {
  if (character < 0x80) return static_cast<unsigned char>(character);
  for (std::size_t k = 0; k < kCp1251High.size(); ++k) {
    if (kCp1251High[k] == character) return static_cast<unsigned char>(0x80 + k);
  }
  return std::nullopt;
}

}  // namespace

std::string Cp1251ToUtf8(std::string_view bytes) {
  std::string utf8;
  utf8.reserve(bytes.size() * 2);
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      utf8 += c;
      continue;
    }
    const char32_t character = kCp1251High[byte - 0x80];
    AppendUtf8(utf8, character == kNoCharacter ? kReplacementCharacter : character);
  }
  return utf8;
}

std::optional<std::string> Utf8ToCp1251(std::string_view utf8) {
  std::string bytes;
  bytes.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const std::optional<char32_t> character = NextUtf8Character(utf8, i);
    if (!character) return std::nullopt;
    const std::optional<unsigned char> byte = Cp1251ByteOf(*character);
    if (!byte) return std::nullopt;
    bytes += static_cast<char>(*byte);
  }
  return bytes;
}

std::string DecodeInfoName(std::string_view bytes) {
  if (IsValidUtf8(bytes)) return std::string(bytes);
  return Cp1251ToUtf8(bytes);
}

std::string EncodeInfoName(std::string_view utf8) {
  // Windows-1251 bytes that read as UTF-8 ("ВЁ") would come back as other
  // characters: such a name stays UTF-8, which reads back unchanged.
  std::optional<std::string> bytes = Utf8ToCp1251(utf8);
  if (bytes && (*bytes == utf8 || !IsValidUtf8(*bytes))) return *std::move(bytes);
  return std::string(utf8);
}

}  // namespace parcelo
