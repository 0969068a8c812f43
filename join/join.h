#pragma once

#include <string>

#include "io/folder_listing.h"
#include "io/progress_meter.h"
#include "partset/message.h"

namespace parcelo {

// Rebuilds a source file from the part set in `folder` (no trailing
// separator, except for the root): the parts in number order go into the
// file named by "Infa.inf", in the same folder. A refusal shows its critical
// box and returns Refused, having written nothing; a success shows the
// information box and returns Done. Throws FileError for any failure no
// check catches; an existing file of the output's name is then left as it
// was and no temporary file stays behind.
Outcome Join(const std::string& folder, const FolderLister& list, const MessageSink& show,
             const Progress& progress = {});

}  // namespace parcelo
