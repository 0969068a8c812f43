#include "join/part_order.h"

#include <algorithm>
#include <utility>

#include "partset/leading_number.h"
#include "partset/part_number.h"

namespace parcelo {

std::vector<std::string> OrderParts(const std::vector<std::string>& listing) {
  std::vector<std::pair<double, std::string>> numbered;
  for (const std::string& name : listing) {
    if (!HasPartExtension(name)) continue;
    const std::string stem = name.substr(0, name.size() - kPartExtension.size());
    numbered.emplace_back(ReadLeadingNumber(stem), name);
  }
  std::sort(numbered.begin(), numbered.end());
  std::vector<std::string> parts;
  parts.reserve(numbered.size());
  for (auto& entry : numbered) parts.push_back(std::move(entry.second));
  return parts;
}

}  // namespace parcelo
