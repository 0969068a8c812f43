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

// Cuts the source into a part set: 001.drb, 002.drb, ... and "Infa.inf";
// with checksums also "Infa.sha256", the SHA-256 of each part and of the
// whole file in sha256sum's format. Every check runs before anything is
// written, and a refusal writes nothing; a folder whose Infa.inf names
// another file holds that file's set, which is refused. The whole set is
// one step: every file goes to a temporary, and only when the last one is
// complete do they take their places, the old info and checksum files
// going first and the new ones landing last (the source's own older parts
// above the new count are removed). A cancel (the progress throws
// OperationCancelled), a failure or a kill before then leaves the folder
// as it was. Returns what happened and the box to show; never throws.
Report Split(const SplitRequest& request, const Progress& progress = {});

}  // namespace parcelo
