#include "partset/part_number.h"

#include <algorithm>

#include "partset/case_folding.h"
#include "partset/leading_number.h"

namespace parcelo {

void IncFn(std::string& number) {
  const std::string next = FormatWholeNumber(ReadLeadingNumber(number) + 1);
  // Leading zeros up to three digits, never more.
  number = std::string(next.size() < 3 ? 3 - next.size() : 0, '0') + next;
}

bool IsPartNumber(std::string_view text) {
  if (text.size() < 3 || (text.size() > 3 && text.front() == '0') || text == "000") return false;
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string PartFileName(std::string_view number) {
  std::string name(number);
  name += kPartExtension;
  return name;
}

bool HasPartExtension(std::string_view fileName) {
  if (fileName.size() < kPartExtension.size()) return false;
  return EqualIgnoringAsciiCase(fileName.substr(fileName.size() - kPartExtension.size()),
                                kPartExtension);
}

}  // namespace parcelo
