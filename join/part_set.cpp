#include "join/part_set.h"

#include <algorithm>
#include <cerrno>
#include <map>
#include <optional>

#include "io/copy_range.h"
#include "io/file.h"
#include "io/file_error.h"
#include "join/part_order.h"
#include "operation/hashing_observer.h"
#include "operation/messages.h"
#include "partset/case_folding.h"
#include "partset/checksum_file.h"
#include "partset/info_file.h"
#include "partset/part_number.h"
#include "partset/path_helpers.h"
#include "partset/temporary_name.h"

namespace parcelo {
namespace {

Report Refusal(const char* text) {
  return BoxReport(Outcome::Refused, MessageKind::Critical, messages::kFolderErrorTitle, text);
}

// A part's number: its name without ".drb", whatever that extension's case.
std::string_view NumberOf(std::string_view partName) {
  return partName.substr(0, partName.size() - kPartExtension.size());
}

// The key a part goes by in the checksums: its number and ".drb" in lower case.
std::string PartKey(std::string_view partName) { return PartFileName(NumberOf(partName)); }

// True when part number `a` comes before `b`; both are part numbers.
bool NumberBefore(std::string_view a, std::string_view b) {
  return a.size() != b.size() ? a.size() < b.size() : a < b;
}

// True when the name from the info file may be written in the folder: a
// plain name that the join would take for neither the info file, the
// checksum file nor a part, in any letter case (file systems that ignore
// case fold it, some beyond ASCII), and no input under another name, so
// the join can't write outside its folder or destroy an input.
bool IsAcceptableOutputName(const Folder& set, const std::string& name, const FileStatus& info,
                            const std::vector<FolderEntry>& parts) {
  if (!IsPlainFileName(name) || HasPartExtension(name) || IsTemporaryName(name)) return false;
  const std::string folded = FoldCase(name);
  if (folded == FoldCase(kInfoFileName) || folded == FoldCase(kChecksumFileName)) return false;
  const std::optional<FileStatus> output = set.Status(name);
  if (!output) return true;
  return !output->IsSameFileAs(info) &&
         std::none_of(parts.begin(), parts.end(),
                      [&](const FolderEntry& part) { return output->IsSameFileAs(part.status); });
}

// In a shared sticky folder anyone may add a part or a checksum file to
// someone's set, but no one replace another's: its files are taken only
// when they are the owner's of its info file. Throws FileError naming the
// first that is not.
void CheckOwners(const PartSet& set, const FileStatus& info) {
  if (!set.folder.IsSharedSticky()) return;
  std::vector<FolderEntry> files = set.parts;
  const std::string sums(kChecksumFileName);
  if (const std::optional<FileStatus> status = set.folder.Status(sums)) {
    files.push_back({sums, *status});
  }
  for (const FolderEntry& file : files) {
    if (file.status.owner != info.owner) {
      throw FileError(kOtherOwner, FileOperation::Open, set.folder.PathOf(file.name));
    }
  }
}

// The error for a part the join can't read as a part: it is not a file.
FileError NotAPart(const Folder& set, const FolderEntry& part) {
  const int code = part.status.kind == FileStatus::Kind::SymbolicLink ? kSymbolicLink
                   : part.status.kind == FileStatus::Kind::Folder     ? EISDIR
                                                                      : kNotRegularFile;
  return FileError(code, FileOperation::Open, set.PathOf(part.name));
}

// Checks that the parts are what a split leaves: files named 001.drb,
// 002.drb, ... without a gap, all of one size but the last,
// which is no larger; none empty, since a split never writes an empty
// part. A ".drb" entry of another name (a number spelled otherwise, or
// twice) is foreign: joined, it would put bytes of unknown origin into the
// output. Throws FileError naming the first thing wrong in number order.
void CheckStructure(const Folder& set, const std::vector<FolderEntry>& parts) {
  // The piece size: what most parts but the last have, the larger where
  // two sizes are as common (a copy cut short is shorter), so that a short
  // copy of 001.drb is the part named, not each good one after it.
  std::map<std::uint64_t, std::size_t> counts;
  std::uint64_t piece = parts.front().status.size;
  for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
    const std::uint64_t size = parts[i].status.size;
    ++counts[size];
    if (counts[size] > counts[piece] || (counts[size] == counts[piece] && size > piece)) {
      piece = size;
    }
  }
  std::string expected(kFirstPartNumber);
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const FolderEntry& part = parts[i];
    if (part.status.kind != FileStatus::Kind::Regular) throw NotAPart(set, part);
    const std::string_view number = NumberOf(part.name);
    if (number != expected) {
      if (IsPartNumber(number) && NumberBefore(expected, number)) {
        throw FileError(kMissingPart, FileOperation::Verify, set.PathOf(PartFileName(expected)));
      }
      throw FileError(kInvalidName, FileOperation::Verify, set.PathOf(part.name));
    }
    const std::uint64_t size = part.status.size;
    const bool last = i + 1 == parts.size();
    if (size == 0 || (last ? size > piece : size != piece)) {
      throw FileError(kWrongPartSize, FileOperation::Verify, set.PathOf(part.name));
    }
    IncFn(expected);
  }
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

// Takes the checksums into the set: every part must be listed, and every
// listed part be there. Throws FileError for the first part, in number
// order, that is not listed (kUnlistedPart), then for the first listed
// part that is missing (kMissingPart).
void TakeChecksums(PartSet& set, const SetChecksums& checksums) {
  const std::string sumsPath = set.folder.PathOf(std::string(kChecksumFileName));
  if (checksums.whole && checksums.whole->name != set.outputName) {
    throw FileError(kBadChecksumFile, FileOperation::Read, sumsPath);
  }
  // A copy tool may have renamed the parts "001.DRB", and the listed names
  // too: the number is what counts.
  std::map<std::string, std::string> digests;
  for (const auto& [name, digest] : checksums.parts) {
    if (!IsPartNumber(NumberOf(name)) || !digests.emplace(PartKey(name), digest).second) {
      throw FileError(kBadChecksumFile, FileOperation::Read, sumsPath);
    }
  }
  for (const FolderEntry& part : set.parts) {
    const auto listed = digests.find(PartKey(part.name));
    if (listed == digests.end()) {
      throw FileError(kUnlistedPart, FileOperation::Verify, set.folder.PathOf(part.name));
    }
    set.partDigests.push_back(listed->second);
    digests.erase(listed);
  }
  if (!digests.empty()) {
    const auto first = std::min_element(digests.begin(), digests.end(), [](auto& a, auto& b) {
      return NumberBefore(NumberOf(a.first), NumberOf(b.first));
    });
    throw FileError(kMissingPart, FileOperation::Verify, set.folder.PathOf(first->first));
  }
  set.checksummed = true;
}

// Opens a part, checking it is still the file the listing saw, as large.
File OpenPart(const Folder& set, const FolderEntry& part) {
  File file = File::OpenEntry(set, part.name);
  const FileStatus status = file.Status();
  if (!status.IsSameFileAs(part.status) || status.size != part.status.size) {
    throw FileError(kFileReplaced, FileOperation::Open, file.path());
  }
  return file;
}

}  // namespace

std::variant<PartSet, Report> ReadPartSet(const std::string& folder, const ListingSeen& listed) {
  PartSet set;
  set.folder = Folder::Open(folder);
  set.folder.Lock();
  const std::vector<FolderEntry> listing = ListFolder(set.folder);
  if (listed) listed(listing);
  set.parts = OrderParts(listing);
  if (set.parts.empty()) return Refusal(messages::kNoParts);

  const std::string infoName(kInfoFileName);
  if (!set.folder.Status(infoName)) {
    throw FileError(kNoInfoFile, FileOperation::Open, set.folder.PathOf(infoName));
  }
  File info = File::OpenEntry(set.folder, infoName);
  const std::string content = info.ReadStart(kInfoFileReadLimit);
  if (content.empty()) throw FileError(kUnexpectedEnd, FileOperation::Read, info.path());
  const FileStatus infoStatus = info.Status();
  info.Close();
  set.outputName = NameInInfoFile(content);
  if (!IsAcceptableOutputName(set.folder, set.outputName, infoStatus, set.parts)) {
    return Refusal(messages::kBadOutputName);
  }
  const auto files = std::count_if(listing.begin(), listing.end(), [](const FolderEntry& entry) {
    return entry.status.kind == FileStatus::Kind::Regular;
  });
  if (files < 2) return Refusal(messages::kTooFewFiles);

  CheckOwners(set, infoStatus);  // first: a file put in by another user is the one to name
  CheckStructure(set.folder, set.parts);
  for (const FolderEntry& part : set.parts) set.size += part.status.size;
  if (const std::optional<SetChecksums> checksums = ReadChecksums(set.folder)) {
    TakeChecksums(set, *checksums);
  }
  return set;
}

void ReadParts(const PartSet& set, const File* output, const Progress& progress) {
  RangeCopier copier;
  ProgressMeter meter(progress, set.size, static_cast<std::uint32_t>(set.parts.size()));
  const RangeCopier::Moved moved = [&](std::uint64_t bytes) { meter.Advance(bytes); };
  // The parts' lines prove the output, which is exactly the listed parts in
  // order: each byte is hashed once. The whole file's line is for checks
  // made without this program.
  std::optional<HashingObserver> partHash;
  ByteObservers observers;
  if (set.checksummed) observers.push_back(&partHash.emplace());
  std::uint64_t position = 0;
  for (std::size_t i = 0; i < set.parts.size(); ++i) {
    meter.StartPart(static_cast<std::uint32_t>(i + 1));
    const File part = OpenPart(set.folder, set.parts[i]);
    const std::uint64_t bytes = set.parts[i].status.size;
    if (output) {
      copier.Copy(part, 0, *output, position, bytes, moved, observers);
    } else {
      copier.Read(part, 0, bytes, moved, observers);
    }
    position += bytes;
    if (partHash && partHash->HexDigest() != set.partDigests[i]) {
      throw FileError(kChecksumMismatch, FileOperation::Verify, part.path());
    }
  }
  meter.Finish();
}

}  // namespace parcelo
