#pragma once

#include <span>
#include <string>

namespace parcelo {

// Returns bytes as lowercase hexadecimal digits, two a byte, the high half
// first: {0x0f, 0xa0} gives "0fa0".
std::string LowercaseHex(std::span<const unsigned char> bytes);

}  // namespace parcelo
