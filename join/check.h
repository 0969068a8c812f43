#pragma once

#include <string>

#include "join/part_set.h"
#include "operation/progress.h"
#include "operation/report.h"

namespace parcelo {

// Checks the set in `folder` as the join does, its structure first (see
// ReadPartSet), then every part against "Infa.sha256", reading the parts
// and writing nothing. Refused when the folder holds no set or the set has
// no checksums; never throws.
Report Check(const std::string& folder, const Progress& progress = {},
             const ListingSeen& listed = {});

}  // namespace parcelo
