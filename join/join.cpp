#include "join/join.h"

#include <algorithm>
#include <new>
#include <optional>

#include "io/file.h"
#include "io/file_error.h"
#include "io/replacement_file.h"
#include "operation/messages.h"
#include "operation/room_check.h"
#include "operation/run_reported.h"
#include "partset/path_helpers.h"

namespace parcelo {
namespace {

// True when the file of the output's name holds edits that the joined
// bytes in `joined` would lose: it is a regular file, modified since the
// split (not before its oldest part: a part copied again later has a newer
// time, and a file system that keeps whole seconds gives an edit made in
// the split's second the parts' time), and its bytes differ. The
// comparison reads both files again and tells `progress`, so that it may
// be cancelled.
bool HoldsEdits(const PartSet& set, const File& joined, const Progress& progress) {
  const std::optional<FileStatus> status = set.folder.Status(set.outputName);
  if (!status || status->kind != FileStatus::Kind::Regular) return false;
  if (std::none_of(set.parts.begin(), set.parts.end(), [&](const FolderEntry& part) {
        return part.status.modified <= status->modified;
      })) {
    return false;
  }
  const File existing = File::OpenEntry(set.folder, set.outputName);
  ProgressMeter meter(progress, existing.Size(), 0);
  return !SameContent(existing, joined, [&](std::uint64_t bytes) { meter.Advance(bytes); });
}

Report JoinSet(const std::string& folder, const Progress& progress, const ListingSeen& listed,
               const MayReplaceEdited& mayReplaceEdited) {
  std::variant<PartSet, Report> read = ReadPartSet(folder, listed);
  if (Report* refusal = std::get_if<Report>(&read)) return *refusal;
  const PartSet& set = std::get<PartSet>(read);
  RemoveStaleTemporaries(set.folder);  // a killed join's whole copy, say
  CheckReplaceable(set.folder, set.outputName);
  if (std::optional<Report> refusal = CheckJoinRoom(set.folder, set.parts)) return *refusal;

  const std::string outputPath = set.folder.PathOf(set.outputName);
  try {
    // A new output is as private as the most private part, and of their
    // owner, where they have one.
    std::uint32_t mode = 0666;
    ReplacementFile::Origin origin{set.parts.front().status.owner, set.parts.front().status.group};
    for (const FolderEntry& part : set.parts) {
      mode &= part.status.mode;
      if (part.status.owner != origin.owner) origin = {};
      if (part.status.group != origin.group) origin.group = ReplacementFile::Origin::kNoOne;
    }
    ReplacementFile output(set.folder, set.outputName, mode, mode, origin);
    ReadParts(set, &output.file(), progress);
    if (HoldsEdits(set, output.file(), progress) &&
        !(mayReplaceEdited && mayReplaceEdited(set.outputName))) {
      throw OperationCancelled{};  // the temporary goes with `output`
    }
    // The one point where the join changes the folder: the complete,
    // checked output takes the place of the old file of its name.
    output.Commit();
  } catch (const std::bad_alloc&) {
    throw FileError(kOutOfMemory, FileOperation::Write, outputPath);
  }
  // The folder as given, a separator and the name, as the user knows the set.
  const std::string shownPath = folder + kSeparator + set.outputName;
  Report done = BoxReport(Outcome::Done, MessageKind::Information, messages::kJoinDoneTitle,
                          messages::JoinDone(shownPath));
  done.message.path = shownPath;
  return done;
}

}  // namespace

Report Join(const std::string& folder, const Progress& progress, const ListingSeen& listed,
            const MayReplaceEdited& mayReplaceEdited) {
  return RunReported(messages::kJoinCancelledTitle,
                     [&] { return JoinSet(folder, progress, listed, mayReplaceEdited); });
}

}  // namespace parcelo
