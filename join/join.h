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

// Rebuilds a source file from the part set in `folder` (no trailing
// separator, except for the root): the parts in number order go into the
// file named by "Infa.inf", in the same folder. A refusal writes nothing;
// a part that is not a regular file, or not the file the listing saw, stops
// the join with an error naming it. An existing file of the output's name
// is replaced only by the complete output; after a failure or a cancel
// (the progress throws OperationCancelled) it is as it was and no
// temporary stays. Returns what happened and the box to show; never throws.
Report Join(const std::string& folder, const FolderLister& list, const Progress& progress = {});

}  // namespace parcelo
