#include "join/join.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <new>
#include <optional>
#include <set>

#include "io/copy_range.h"
#include "io/file.h"
#include "io/file_error.h"
#include "io/folder.h"
#include "io/replacement_file.h"
#include "join/part_order.h"
#include "operation/hashing_observer.h"
#include "operation/messages.h"
#include "operation/room_check.h"
#include "operation/run_reported.h"
#include "partset/checksum_file.h"
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
  if (!IsPlainFileName(name) || name == kInfoFileName || name == kChecksumFileName) return false;
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

// Reads the set's checksum file: nothing when the set has none. Read as
// the info file is (never through a link, never from a FIFO), and only up
// to a size no set's checksums exceed; throws FileError kBadChecksumFile
// when it is larger or malformed.
std::optional<SetChecksums> ReadChecksums(const Folder& set) {
  const std::string name(kChecksumFileName);
  if (!set.Status(name)) return std::nullopt;
  File file = File::OpenEntry(set, name);
  const std::string content = file.ReadStart(kChecksumFileLimit + 1);
  file.Close();
  std::optional<SetChecksums> checksums;
  if (content.size() <= kChecksumFileLimit) checksums = ParseChecksumFile(content);
  if (!checksums) throw FileError(kBadChecksumFile, FileOperation::Read, set.PathOf(name));
  return checksums;
}

// The first part, in the join's order, that the checksums can't vouch for:
// one they list that the folder lacks, or one of the folder they don't list.
std::optional<std::string> FirstUnlistedOrMissing(const std::vector<FolderEntry>& parts,
                                                  const SetChecksums& checksums) {
  std::vector<std::string> names;
  std::set<std::string> present;
  for (const FolderEntry& part : parts) {
    present.insert(part.name);
    if (!checksums.parts.count(part.name)) names.push_back(part.name);
  }
  for (const auto& listed : checksums.parts) {
    if (!present.count(listed.first)) names.push_back(listed.first);
  }
  if (names.empty()) return std::nullopt;
  return *std::min_element(names.begin(), names.end(), PartComesBefore);
}

FileError Mismatch(std::string path) {
  return FileError(kChecksumMismatch, FileOperation::Verify, std::move(path));
}

enum class Mode { Join, Check };

Report JoinSet(const std::string& folder, const FolderLister& list, const Progress& progress,
               Mode mode) {
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
  const std::optional<SetChecksums> checksums = ReadChecksums(set);
  if (mode == Mode::Check && !checksums) {
    return BoxReport(Outcome::Refused, MessageKind::Critical, messages::kCheckErrorTitle,
                     messages::kNoChecksums);
  }
  if (checksums && checksums->whole && checksums->whole->name != name) {
    throw FileError(kBadChecksumFile, FileOperation::Read,
                    set.PathOf(std::string(kChecksumFileName)));
  }
  if (mode == Mode::Join) CheckReplaceable(set, name);
  if (mode == Mode::Join) {
    if (std::optional<Report> refusal = CheckJoinRoom(set, parts)) return *refusal;
  }

  const std::string outputPath = set.PathOf(name);
  try {
    RangeCopier copier;
    ProgressMeter meter(progress, total, static_cast<std::uint32_t>(parts.size()));
    const RangeCopier::Moved moved = [&](std::uint64_t bytes) { meter.Advance(bytes); };
    std::optional<HashingObserver> partHash, wholeHash;
    ByteObservers observers;
    std::optional<std::string> unvouched;
    if (checksums) {
      observers.push_back(&partHash.emplace());
      if (checksums->whole) observers.push_back(&wholeHash.emplace());
      unvouched = FirstUnlistedOrMissing(parts, *checksums);
    }
    // A new output is as private as the first part.
    std::optional<ReplacementFile> output;
    if (mode == Mode::Join) output.emplace(set, name, parts.front().status.mode & 0666);
    std::uint64_t position = 0;
    for (std::size_t i = 0; i < parts.size(); ++i) {
      // A part missing from its place, or one no checksum is listed for,
      // stops the work where it would have come.
      if (unvouched && !PartComesBefore(parts[i].name, *unvouched)) {
        throw Mismatch(set.PathOf(*unvouched));
      }
      meter.StartPart(static_cast<std::uint32_t>(i + 1));
      const File part = OpenPart(set, parts[i]);
      const std::uint64_t bytes = part.Size();
      if (output) {
        copier.Copy(part, 0, output->file(), position, bytes, moved, observers);
      } else {
        copier.Read(part, 0, bytes, moved, observers);
      }
      position += bytes;
      if (partHash && partHash->HexDigest() != checksums->parts.at(parts[i].name)) {
        throw Mismatch(part.path());
      }
    }
    if (unvouched) throw Mismatch(set.PathOf(*unvouched));
    if (wholeHash && wholeHash->HexDigest() != checksums->whole->digest) {
      throw Mismatch(outputPath);
    }
    meter.Finish();
    if (output) output->Commit();
  } catch (const std::bad_alloc&) {
    throw FileError(kOutOfMemory, FileOperation::Write, outputPath);
  }
  if (mode == Mode::Check) {
    return BoxReport(Outcome::Done, MessageKind::Information, messages::kCheckDoneTitle,
                     messages::CheckDone(folder, parts.size()));
  }
  // The folder as given, a separator and the name, as the user knows the set.
  return BoxReport(Outcome::Done, MessageKind::Information, messages::kJoinDoneTitle,
                   messages::JoinDone(folder + kSeparator + name));
}

}  // namespace

Report Join(const std::string& folder, const FolderLister& list, const Progress& progress) {
  return RunReported(messages::kJoinCancelledTitle,
                     [&] { return JoinSet(folder, list, progress, Mode::Join); });
}

Report Check(const std::string& folder, const FolderLister& list, const Progress& progress) {
  return RunReported(messages::kCheckCancelledTitle,
                     [&] { return JoinSet(folder, list, progress, Mode::Check); });
}

}  // namespace parcelo
