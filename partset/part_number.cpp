#include "partset/part_number.h"

#include "partset/leading_number.h"

namespace parcelo {

void IncFn(std::string& number) {
  const std::string next = FormatWholeNumber(ReadLeadingNumber(number) + 1);
  // Leading zeros up to three digits, never more.
  number = std::string(next.size() < 3 ? 3 - next.size() : 0, '0') + next;
}

std::string PartFileName(std::string_view number) {
  std::string name(number);
  name += kPartExtension;
  return name;
}

bool HasPartExtension(std::string_view fileName) {
  if (fileName.size() < kPartExtension.size()) return false;
  const std::string_view tail = fileName.substr(fileName.size() - kPartExtension.size());
  for (std::size_t i = 0; i < tail.size(); ++i) {
    char c = tail[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != kPartExtension[i]) return false;
  }
  return true;
}

}  // namespace parcelo
