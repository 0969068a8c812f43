#include "join/join.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <new>
#include <optional>

#include "io/copy_range.h"
#include "io/file.h"
#include "io/file_error.h"
#include "io/folder.h"
#include "io/replacement_file.h"
#include "join/part_order.h"
#include "operation/messages.h"
#include "operation/run_reported.h"
#include "partset/info_file.h"
#include "partset/part_number.h"
#include "partset/path_helpers.h"

namespace parcelo {
namespace {

Report Refusal(const char* text) {
  return BoxReport(Outcome::Refused, MessageKind::Critical, messages::kFolderErrorTitle, text);
}

// True when the name from the info file may be written in the folder: a
// plain name that is neither the info file nor one of the parts, by
// spelling or by file identity, so the join can't write outside its folder
// or destroy an input.
bool IsAcceptableOutputName(const Folder& set, const std::string& name, const FileStatus& info,
                            const std::vector<FolderEntry>& parts) {
  if (!IsPlainFileName(name) || name == kInfoFileName) return false;
  const std::optional<FileStatus> output = set.Status(name);
  if (output && output->IsSameFileAs(info)) return false;
  return std::none_of(parts.begin(), parts.end(), [&](const FolderEntry& part) {
    return part.name == name || (output && output->IsSameFileAs(part.status));
  });
}

// The error for a part the join can't read as a part: it is not a file.
FileError NotAPart(const Folder& set, const FolderEntry& part) {
  const int code = part.status.kind == FileStatus::Kind::SymbolicLink ? kSymbolicLink
                   : part.status.kind == FileStatus::Kind::Folder     ? EISDIR
                                                                      : kNotRegularFile;
  return FileError(code, FileOperation::Open, set.PathOf(part.name));
}

// Opens a part, checking it is still the file the listing saw.
File OpenPart(const Folder& set, const FolderEntry& part) {
  File file = File::OpenEntry(set, part.name);
  if (!file.Status().IsSameFileAs(part.status)) {
    throw FileError(kFileReplaced, FileOperation::Open, file.path());
  }
  return file;
}

Report JoinSet(const std::string& folder, const FolderLister& list, const Progress& progress) {
  const std::vector<FolderEntry> listing = list(folder);
  const std::vector<FolderEntry> parts = OrderParts(listing);
  if (parts.empty()) return Refusal(messages::kNoParts);

  const Folder set = Folder::Open(folder);
  set.Lock();
  const std::string infoName(kInfoFileName);
  File info = File::OpenEntry(set, infoName);
  const std::string content = info.ReadStart(kInfoFileReadLimit);
  if (content.empty()) throw FileError(kUnexpectedEnd, FileOperation::Read, info.path());
  const FileStatus infoStatus = info.Status();
  info.Close();
  const std::string name = NameInInfoFile(content);
  if (!IsAcceptableOutputName(set, name, infoStatus, parts)) {
    return Refusal(messages::kBadOutputName);
  }
  const auto files = std::count_if(listing.begin(), listing.end(), [](const FolderEntry& entry) {
    return entry.status.kind == FileStatus::Kind::Regular;
  });
  if (files < 2) return Refusal(messages::kTooFewFiles);

  // Every check before the first write.
  std::uint64_t total = 0;
  for (const FolderEntry& part : parts) {
    if (part.status.kind != FileStatus::Kind::Regular) throw NotAPart(set, part);
    total += part.status.size;
  }
  CheckReplaceable(set, name);

  const std::string outputPath = set.PathOf(name);
  try {
    RangeCopier copier;
    ProgressMeter meter(progress, total, static_cast<std::uint32_t>(parts.size()));
    const RangeCopier::Moved moved = [&](std::uint64_t bytes) { meter.Advance(bytes); };
    // A new output is as private as the first part.
    ReplacementFile output(set, name, parts.front().status.mode & 0666);
    std::uint64_t position = 0;
    for (std::size_t i = 0; i < parts.size(); ++i) {
      meter.StartPart(static_cast<std::uint32_t>(i + 1));
      const File part = OpenPart(set, parts[i]);
      const std::uint64_t bytes = part.Size();
      copier.Copy(part, 0, output.file(), position, bytes, moved);
      position += bytes;
    }
    meter.Finish();
    output.Commit();
  } catch (const std::bad_alloc&) {
    throw FileError(kOutOfMemory, FileOperation::Write, outputPath);
  }
  // The folder as given, a separator and the name, as the user knows the set.
  return BoxReport(Outcome::Done, MessageKind::Information, messages::kJoinDoneTitle,
                   messages::JoinDone(folder + kSeparator + name));
}

}  // namespace

Report Join(const std::string& folder, const FolderLister& list, const Progress& progress) {
  return RunReported(messages::kJoinCancelledTitle,
                     [&] { return JoinSet(folder, list, progress); });
}

}  // namespace parcelo
