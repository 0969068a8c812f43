#pragma once

#include <string>
#include <vector>

#include "io/folder_listing.h"

namespace parcelo {

// Returns the part files of a folder listing (names ending in ".drb", any
// letter case, whatever kind of entry) in the order the join appends them:
// by the number the name starts with ("1000.drb" after "999.drb"), names
// with equal numbers by name. A name that starts with no number counts as 0.
std::vector<FolderEntry> OrderParts(const std::vector<FolderEntry>& listing);

}  // namespace parcelo
