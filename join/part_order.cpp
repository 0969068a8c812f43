#include "join/part_order.h"

#include <algorithm>
#include <string>
#include <utility>

#include "partset/leading_number.h"
#include "partset/part_number.h"

namespace parcelo {

std::vector<FolderEntry> OrderParts(const std::vector<FolderEntry>& listing) {
  std::vector<std::pair<double, const FolderEntry*>> numbered;
  for (const FolderEntry& entry : listing) {
    if (!HasPartExtension(entry.name)) continue;
    const std::string stem = entry.name.substr(0, entry.name.size() - kPartExtension.size());
    numbered.emplace_back(ReadLeadingNumber(stem), &entry);
  }
  std::sort(numbered.begin(), numbered.end(), [](const auto& a, const auto& b) {
    return a.first != b.first ? a.first < b.first : a.second->name < b.second->name;
  });
  std::vector<FolderEntry> parts;
  parts.reserve(numbered.size());
  for (const auto& entry : numbered) parts.push_back(*entry.second);
  return parts;
}

}  // namespace parcelo
