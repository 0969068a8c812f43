#pragma once

#include <string>

#include "operation/progress.h"
#include "operation/report.h"

namespace parcelo {

// The four values the split reads from the window when it starts, and
// whether the set gets checksums.
struct SplitRequest {
  std::string sourcePath;     // the file to split, as typed or chosen
  std::string pieceSizeText;  // bytes per part, as typed ("1000000")
  bool newFolder = false;     // parts go to a new subfolder beside the source
  std::string newFolderName;  // that subfolder's name ("NewFolder")
  bool checksums = false;     // also write Infa.sha256 (the command line's --checksums)
};

// Cuts the source into a part set: 001.drb, 002.drb, ... and, once every
// part is written, "Infa.inf"; with checksums, "Infa.sha256" last, the
// SHA-256 of each part and of the whole file in sha256sum's format. Every
// check runs before anything is written, and a refusal writes nothing. The
// old info and checksum files of the target go just before the first part
// lands, so a split that stops early leaves no set a join would take for
// whole, and no checksums of other parts. A cancel (the progress throws
// OperationCancelled) removes the parts this split wrote. Returns what
// happened and the box to show; never throws.
Report Split(const SplitRequest& request, const Progress& progress = {});

}  // namespace parcelo
