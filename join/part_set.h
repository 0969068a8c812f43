#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <variant>
#include <vector>

#include "io/folder.h"
#include "io/folder_listing.h"
#include "operation/progress.h"
#include "operation/report.h"

namespace parcelo {

class File;

// Told the folder's listing as soon as it was taken, whatever comes of the
// work afterwards (the window's file list shows it).
using ListingSeen = std::function<void(const std::vector<FolderEntry>&)>;

// A whole part set, read and checked, with its folder still open and locked.
struct PartSet {
  Folder folder;
  // The parts in number order: 001.drb, 002.drb, ... up to the last, each
  // as the listing saw it.
  std::vector<FolderEntry> parts;
  // The output's name, from the info file.
  std::string outputName;
  // The bytes of all parts together.
  std::uint64_t size = 0;
  // Whether the set carries "Infa.sha256"; then the digest of each part,
  // beside `parts`.
  bool checksummed = false;
  std::vector<std::string> partDigests;
};

// Opens `folder` (no trailing separator, except for the root), locks it
// (kFolderBusy when another operation holds it), lists it through the open
// folder and reads the set there, checking everything that can be checked
// before a byte of a part is read:
// - a folder without ".drb" entries, an output name that is not a plain
//   file name or that names the info file, the checksum file or a part (in
//   any letter case, Unicode case folding) or another input by identity,
//   and a folder of fewer than two files are refusals: the Report to show;
// - an entry that is no regular file throws FileError (kSymbolicLink,
//   EISDIR, kNotRegularFile) naming it, as does a ".drb" entry that is not
//   a part's name as the split writes it (kInvalidName: "x.drb", "0001.drb",
//   a second spelling of a number);
// - the parts must run 001.drb ... without a gap (kMissingPart naming the
//   first missing part), every part but the last as large as the first and
//   the last no larger, none empty (kWrongPartSize naming the part);
// - no "Infa.inf" is kNoInfoFile; one without a byte is kUnexpectedEnd;
// - with "Infa.sha256": a malformed one, or one whose whole-file line names
//   another file, is kBadChecksumFile; a part it does not list is
//   kUnlistedPart; a part it lists that is not there is kMissingPart. Its
//   names match parts whatever the case of ".drb".
// Throws FileError for what fails.
std::variant<PartSet, Report> ReadPartSet(const std::string& folder, const ListingSeen& listed);

// Reads every part of the set in number order, copying it into `output` at
// its place when there is one, and tells `progress` how far it came (it
// may throw OperationCancelled). With checksums each part is hashed as it
// lies in the output (or as read, without one) and compared: a difference
// throws FileError kChecksumMismatch naming the part. The whole file's
// digest is not computed: the output is exactly the parts in order. A part
// that is no longer the file that was listed, or no longer of its size,
// throws kFileReplaced.
void ReadParts(const PartSet& set, const File* output, const Progress& progress);

}  // namespace parcelo
