#include "join/join.h"

#include <new>
#include <optional>

#include "io/file_error.h"
#include "io/replacement_file.h"
#include "operation/messages.h"
#include "operation/run_reported.h"
#include "partset/path_helpers.h"

namespace parcelo {
namespace {

Report JoinSet(const std::string& folder, const Progress& progress, const ListingSeen& listed) {
  std::variant<PartSet, Report> read = ReadPartSet(folder, listed);
  if (Report* refusal = std::get_if<Report>(&read)) return *refusal;
  const PartSet& set = std::get<PartSet>(read);
  CheckReplaceable(set.folder, set.outputName);

  const std::string outputPath = set.folder.PathOf(set.outputName);
  try {
    // A new output is as private as the first part.
    const std::uint32_t mode = set.parts.front().status.mode & 0666;
    ReplacementFile output(set.folder, set.outputName, mode, mode);
    ReadParts(set, &output.file(), progress);
    // The one point where the join changes the folder: the complete,
    // checked output takes the place of the old file of its name.
    output.Commit();
  } catch (const std::bad_alloc&) {
    throw FileError(kOutOfMemory, FileOperation::Write, outputPath);
  }
  // The folder as given, a separator and the name, as the user knows the set.
  return BoxReport(Outcome::Done, MessageKind::Information, messages::kJoinDoneTitle,
                   messages::JoinDone(folder + kSeparator + set.outputName));
}

}  // namespace

Report Join(const std::string& folder, const Progress& progress, const ListingSeen& listed) {
  return RunReported(messages::kJoinCancelledTitle,
                     [&] { return JoinSet(folder, progress, listed); });
}

}  // namespace parcelo
