#pragma once

#include <string>
#include <vector>

namespace parcelo {

// Returns the part files of a folder listing (names ending in ".drb", any
// letter case) in the order the join appends them: by the number the name
// starts with ("1000.drb" after "999.drb"), names with equal numbers by
// name. A name that starts with no number counts as 0.
std::vector<std::string> OrderParts(const std::vector<std::string>& listing);

}  // namespace parcelo
