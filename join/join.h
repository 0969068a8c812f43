#pragma once

#include <functional>
#include <string>

#include "join/part_set.h"
#include "operation/progress.h"
#include "operation/report.h"

namespace parcelo {

// Asked before the join replaces a file of the output's name that was
// edited after the set was made: its bytes differ from the joined ones and
// it was modified later than every part. Given the output's name, says
// whether that file may be replaced.
using MayReplaceEdited = std::function<bool(const std::string& name)>;

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
// place (kChecksumMismatch naming the first part that differs). An edited
// file is replaced only when `mayReplaceEdited` allows it (none: never);
// otherwise the join is cancelled and writes nothing. Returns what happened
// and the box to show; never throws.
Report Join(const std::string& folder, const Progress& progress = {},
            const ListingSeen& listed = {}, const MayReplaceEdited& mayReplaceEdited = {});

}  // namespace parcelo
