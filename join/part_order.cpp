#include "join/part_order.h"

#include <algorithm>
#include <string>

#include "partset/leading_number.h"
#include "partset/part_number.h"

namespace parcelo {

namespace {

double NumberOf(const std::string& partName) {
  return ReadLeadingNumber(partName.substr(0, partName.size() - kPartExtension.size()));
}

bool PartComesBefore(const std::string& a, const std::string& b) {
  const double numberA = NumberOf(a), numberB = NumberOf(b);
  return numberA != numberB ? numberA < numberB : a < b;
}

}  // namespace

std::vector<FolderEntry> OrderParts(const std::vector<FolderEntry>& listing) {
  std::vector<FolderEntry> parts;
  for (const FolderEntry& entry : listing) {
    if (HasPartExtension(entry.name)) parts.push_back(entry);
  }
  std::stable_sort(parts.begin(), parts.end(), [](const FolderEntry& a, const FolderEntry& b) {
    return PartComesBefore(a.name, b.name);
  });
  return parts;
}

}  // namespace parcelo
