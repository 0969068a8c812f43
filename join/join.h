#pragma once

#include <string>

#include "join/part_set.h"
#include "operation/progress.h"
#include "operation/report.h"

namespace parcelo {

// Rebuilds a source file from the part set in `folder` (no trailing
// separator, except for the root): the parts in number order go into the
// file named by "Infa.inf", in the same folder. The folder is locked before
// it is listed, `listed` is told the listing, and the whole set is checked
// as ReadPartSet says before anything is created: a set with a gap, a part
// of the wrong size or a foreign ".drb" entry is never joined. An existing
// file of the output's name is replaced only by the complete output; after
// a failure or a cancel (the progress throws OperationCancelled) it is as
// it was and no temporary stays. A set with "Infa.sha256" is checked
// against it on what went into the output, before the output takes its
// place (kChecksumMismatch naming the first part that differs). Returns
// what happened and the box to show; never throws.
Report Join(const std::string& folder, const Progress& progress = {},
            const ListingSeen& listed = {});

}  // namespace parcelo
