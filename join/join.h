#pragma once

#include <functional>
#include <string>
#include <vector>

#include "io/folder_listing.h"
#include "operation/progress.h"
#include "operation/report.h"

namespace parcelo {

// Lists a folder for the join: its entries with what the listing saw of
// them. The window's file list and ListFolder are two such listers.
using FolderLister = std::function<std::vector<FolderEntry>(const std::string& folder)>;

// Asked before the join replaces a file of the output's name that was
// edited after the set was made: its bytes differ from the joined ones and
// it was modified later than every part. Given the output's name, says
// whether that file may be replaced.
using MayReplaceEdited = std::function<bool(const std::string& name)>;

// Rebuilds a source file from the part set in `folder` (no trailing
// separator, except for the root): the parts in number order go into the
// file named by "Infa.inf", in the same folder. A refusal writes nothing;
// a part that is not a regular file, or not the file the listing saw, stops
// the join with an error naming it. An existing file of the output's name
// is replaced only by the complete output; after a failure or a cancel
// (the progress throws OperationCancelled) it is as it was and no
// temporary stays. A set with "Infa.sha256" is checked against it while
// the parts are copied, before the output takes its place: a part it
// lists that is missing, one it does not list, or one whose bytes differ
// stops the join with an error (kChecksumMismatch) naming the first such
// part in the join's order; a malformed checksum file, or one that names
// another whole file, is an error naming it (kBadChecksumFile). An edited
// file is replaced only when `mayReplaceEdited` allows it (none: never);
// otherwise the join is cancelled and writes nothing. Returns what happened
// and the box to show; never throws.
Report Join(const std::string& folder, const FolderLister& list, const Progress& progress = {},
            const MayReplaceEdited& mayReplaceEdited = {});

// Checks the set in `folder` against its "Infa.sha256" as the join does,
// reading the parts and writing nothing. Refused when the folder holds no
// set or the set has no checksums; never throws.
Report Check(const std::string& folder, const FolderLister& list, const Progress& progress = {});

}  // namespace parcelo
