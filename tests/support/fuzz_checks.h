#pragma once

// What the fuzz targets check on every input; the replay programs run the
// same checks on the saved corpus. Each returns false on a wrong answer.

#include <algorithm>
#include <string>

#include "partset/info_file.h"
#include "partset/leading_number.h"
#include "partset/name_encoding.h"
#include "partset/utf8.h"
#include "support/leading_number_model.h"

namespace parcelo::testing {

// The reader never crashes, and on short texts it agrees with the model.
inline bool CheckLeadingNumber(const std::string& text) {
  const double value = ReadLeadingNumber(text);
  return text.size() > 64 || value == ModelLeadingNumber(text);
}

// The info-file reader returns the first line up to the first CR, of the
// bytes a join reads at the most, without spaces at its ends, and always
// as UTF-8 (a line that is not is read as Windows-1251).
inline bool CheckInfoFile(const std::string& bytes) {
  std::string line = bytes.substr(0, std::min(bytes.find('\r'), kInfoFileReadLimit));
  line.erase(0, std::min(line.size(), line.find_first_not_of(' ')));
  line.erase(line.find_last_not_of(' ') + 1);
  return NameInInfoFile(bytes.substr(0, kInfoFileReadLimit)) == DecodeInfoName(line) &&
         IsValidUtf8(NameInInfoFile(bytes));
}

}  // namespace parcelo::testing
