#pragma once

#include <string>

#include "io/progress_meter.h"
#include "partset/message.h"

namespace parcelo {

// The four values the split reads from the window when it starts.
struct SplitRequest {
  std::string sourcePath;     // the file to split, as typed or chosen
  std::string pieceSizeText;  // bytes per part, as typed ("1000000")
  bool newFolder = false;     // parts go to a new subfolder beside the source
  std::string newFolderName;  // that subfolder's name ("NewFolder")
};

// Cuts the source into a part set: 001.drb, 002.drb, ... and "Infa.inf".
// Every check runs before anything is written; a refusal shows its critical
// box and returns Refused, a success shows the information box and returns
// Done. Throws FileError (or bad_alloc) for any failure no check catches,
// with every file closed and nothing half-written left under a part's name.
Outcome Split(const SplitRequest& request, const MessageSink& show, const Progress& progress = {});

}  // namespace parcelo
