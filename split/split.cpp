#include "split/split.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <deque>
#include <new>
#include <optional>
#include <set>
#include <vector>

#include "io/absolute_path.h"
#include "io/copy_range.h"
#include "io/file.h"
#include "io/file_error.h"
#include "io/folder.h"
#include "io/folder_listing.h"
#include "io/open_file_limit.h"
#include "io/replacement_file.h"
#include "io/write_all.h"
#include "operation/hashing_observer.h"
#include "operation/messages.h"
#include "operation/room_check.h"
#include "operation/run_reported.h"
#include "partset/checksum_file.h"
#include "partset/info_file.h"
#include "partset/leading_number.h"
#include "partset/part_number.h"
#include "partset/path_helpers.h"

namespace parcelo {
namespace {

constexpr std::uint64_t kMaxParts = 1000;
constexpr double kMaxPieceSize = 2147483647;
// The descriptors beside the parts' temporaries: the source, the folders,
// the info and checksum files, the window's own.
constexpr std::uint64_t kSpareDescriptors = 64;

Report Refusal(const char* title, const std::string& text) {
  return BoxReport(Outcome::Refused, MessageKind::Critical, title, text);
}

// The piece size in whole bytes: rounded to the nearest integer, halves to
// the even neighbour; nothing when that falls outside 1 ... 2^31 - 1.
std::optional<std::uint64_t> WholePieceSize(double size) {
  if (!std::isfinite(size)) return std::nullopt;
  const double below = std::floor(size);
  const double fraction = size - below;
  double rounded = below;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0.0)) rounded += 1;
  if (rounded < 1 || rounded > kMaxPieceSize) return std::nullopt;
  return static_cast<std::uint64_t>(rounded);
}

// The names of the parts, in order: 001.drb, 002.drb, ...
std::vector<std::string> PartNames(std::uint64_t parts) {
  std::vector<std::string> names;
  std::string number(kFirstPartNumber);
  for (std::uint64_t k = 1; k <= parts; ++k, IncFn(number)) names.push_back(PartFileName(number));
  return names;
}

// The name the target's info file gives, when it is a regular file: read
// through the folder, never through a link, never from a FIFO, and only
// up to a size no file name reaches.
std::optional<std::string> NameInTargetInfo(const Folder& target) {
  const std::string name(kInfoFileName);
  const std::optional<FileStatus> status = target.Status(name);
  if (!status || status->kind != FileStatus::Kind::Regular) return std::nullopt;
  File info = File::OpenEntry(target, name);
  const std::string content = info.ReadStart(kInfoFileReadLimit);
  info.Close();
  return NameInInfoFile(content);
}

// The checks of a target folder, made while it is locked and before the
// split writes into it. Returns the refusal, if any; throws FileError for
// an entry the split must not replace. Fills `oldParts` with the parts of
// the source's own older set that the new one does not replace.
std::optional<Report> CheckTarget(const Folder& target, const std::vector<std::string>& parts,
                                  const FileStatus& source, const std::string& sourceName,
                                  std::vector<std::string>& oldParts) {
  std::vector<std::string> outputs = parts;
  outputs.emplace_back(kInfoFileName);
  outputs.emplace_back(kChecksumFileName);  // written, or removed as another set's
  for (const std::string& name : outputs) {
    const std::optional<FileStatus> status = target.Status(name);
    if (status && status->IsSameFileAs(source)) {
      return Refusal(messages::kSplitErrorTitle, messages::kOwnSource);
    }
  }
  // Another file's set is never replaced; the source's own older one is.
  // In a shared sticky folder an info file of another user than the
  // source's owner and the runner is of another user's file of that name.
  const std::optional<std::string> owner = NameInTargetInfo(target);
  const std::optional<FileStatus> info = target.Status(std::string(kInfoFileName));
  const bool shared = owner && info && target.IsSharedSticky();
  if (owner &&
      (*owner != sourceName || (shared && info->owner != source.owner && !IsRunners(*info)))) {
    return BoxReport(Outcome::Refused, MessageKind::Critical, messages::kSplitErrorTitle,
                     messages::ForeignSet(*owner));
  }
  // Another set's parts would join with this one's: the set records no count.
  const std::set<std::string> ours(parts.begin(), parts.end());
  const std::vector<std::string> numbered = PartNames(kMaxParts);
  const std::set<std::string> partNames(numbered.begin(), numbered.end());
  // In a shared sticky folder a part of another user than the info file's
  // was added by them: no part of the older set, and not ours to remove.
  std::set<std::string> beside;  // numbered parts of the older set, if they run on from ours
  for (const FolderEntry& entry : ListFolder(target)) {
    if (!HasPartExtension(entry.name) || ours.count(entry.name)) continue;
    if (owner && partNames.count(entry.name) && entry.status.kind == FileStatus::Kind::Regular &&
        !(shared && entry.status.owner != info->owner)) {
      beside.insert(entry.name);
      continue;
    }
    return Refusal(messages::kSplitErrorTitle, messages::kForeignParts);
  }
  for (std::size_t k = parts.size(); k < numbered.size() && beside.erase(numbered[k]); ++k) {
    oldParts.push_back(numbered[k]);
  }
  if (!beside.empty()) return Refusal(messages::kSplitErrorTitle, messages::kForeignParts);
  for (const std::string& name : outputs) CheckReplaceable(target, name);
  return std::nullopt;
}

// One split, from its checks to its last file, with what it has to undo
// when it stops early.
class SplitJob {
 public:
  SplitJob(const SplitRequest& request, const Progress& progress)
      : request_(request), progress_(progress) {}

  Report Run();

 private:
  std::optional<Report> Check();
  std::optional<Report> Prepare();
  std::string WriteParts(const Folder& target);
  void Abandon() noexcept;

  const SplitRequest& request_;
  const Progress& progress_;
  std::string sourcePath_;
  File source_;
  FileStatus sourceStatus_;
  std::uint64_t pieceSize_ = 0;
  std::vector<std::string> parts_;
  std::string childName_;  // the new folder's name, empty for beside the source
  Folder parent_;
  std::optional<Folder> target_;
  bool createdChild_ = false;
  std::vector<std::string> oldParts_;  // the source's older parts above the new count
};

std::optional<Report> SplitJob::Check() {
  // A relative path is taken from the current folder, so the set lands
  // beside the file and the info file holds its name.
  sourcePath_ = AbsolutePath(request_.sourcePath);
  source_ = File::OpenForReading(sourcePath_);
  sourceStatus_ = source_.Status();
  const std::uint64_t length = sourceStatus_.size;

  const double size = ReadLeadingNumber(request_.pieceSizeText);
  const std::optional<std::uint64_t> pieceSize = WholePieceSize(size);
  if (!pieceSize) return Refusal(messages::kSizeErrorTitle, messages::kPieceSizeRange);
  if (static_cast<double>(length) <= size) {
    return Refusal(messages::kSizeErrorTitle, messages::kPieceNotSmaller);
  }
  pieceSize_ = *pieceSize;
  const std::uint64_t parts = (length + pieceSize_ - 1) / pieceSize_;
  if (parts > kMaxParts) return Refusal(messages::kCountErrorTitle, messages::kTooManyParts);
  if (request_.newFolder) childName_ = request_.newFolderName;
  const NameFault folderFault =
      childName_.empty() ? NameFault::kNone : PlainFileNameFault(childName_);
  if (folderFault != NameFault::kNone) {
    return Refusal(messages::kFolderNameErrorTitle, messages::BadFolderName(folderFault));
  }
  const NameFault nameFault = InfoFileNameFault(FileNameOf(sourcePath_));
  if (nameFault != NameFault::kNone) {
    return Refusal(messages::kFileNameErrorTitle, messages::UnstorableName(nameFault));
  }
  parts_ = PartNames(parts);
  return std::nullopt;
}

// Opens and locks the target folder, creating the new folder if needed,
// and checks what lies in it; returns a refusal, if any.
std::optional<Report> SplitJob::Prepare() {
  const std::string folder = FolderOf(sourcePath_);
  parent_ = Folder::Open(folder.empty() ? std::string(1, kSeparator) : folder);
  if (childName_.empty()) {
    target_.emplace(std::move(parent_));
    parent_ = Folder();
  } else if (parent_.Status(childName_)) {
    target_.emplace(parent_.OpenChild(childName_));  // never through a link
  }
  if (target_) {
    target_->Lock();
    return CheckTarget(*target_, parts_, sourceStatus_, FileNameOf(sourcePath_), oldParts_);
  }
  // A new folder: made only now, after every check of what exists, and
  // never of a name that a set beside the source would take for its own.
  if (IsSetFileName(childName_)) {
    return Refusal(messages::kFolderNameErrorTitle,
                   messages::BadFolderName(NameFault::kSetFileName));
  }
  parent_.MakeChild(childName_);
  createdChild_ = true;
  target_.emplace(parent_.OpenChild(childName_));
  target_->Lock();
  return CheckTarget(*target_, parts_, sourceStatus_, FileNameOf(sourcePath_), oldParts_);
}

std::string SplitJob::WriteParts(const Folder& target) {
  RemoveStaleTemporaries(target);
  // Every temporary stays open, unnamed where it can be, until the commit;
  // where the process may not hold that many descriptors, each waits closed
  // under a hidden name instead.
  const std::uint64_t descriptors = parts_.size() + kSpareDescriptors;
  const bool closeEach = RaiseOpenFileLimit(descriptors) < descriptors;
  // The buffer first, so that no memory for it fails before anything lands.
  std::string current = target.PathOf(parts_.front());
  try {
    RangeCopier copier;
    std::optional<HashingObserver> partHash, wholeHash;
    ByteObservers observers;
    if (request_.checksums) observers = {&partHash.emplace(), &wholeHash.emplace()};
    std::vector<ChecksumLine> checksums;
    // Parts are as private as their source, and so are the info and checksum files.
    const std::uint32_t mode = sourceStatus_.mode & 0666;
    const ReplacementFile::Origin origin{sourceStatus_.owner, sourceStatus_.group};
    std::deque<ReplacementFile> outputs;  // in the order of their commit
    ProgressMeter meter(progress_, sourceStatus_.size, static_cast<std::uint32_t>(parts_.size()));
    const RangeCopier::Moved moved = [&](std::uint64_t bytes) { meter.Advance(bytes); };
    for (std::size_t k = 0; k < parts_.size(); ++k) {
      current = target.PathOf(parts_[k]);
      meter.StartPart(static_cast<std::uint32_t>(k + 1));
      const std::uint64_t offset = k * pieceSize_;
      ReplacementFile& part = outputs.emplace_back(target, parts_[k], mode, mode, origin);
      copier.Copy(source_, offset, part.file(), 0,
                  std::min(pieceSize_, sourceStatus_.size - offset), moved, observers);
      if (closeEach) part.CloseUntilCommit();
      if (partHash) checksums.push_back({parts_[k], partHash->HexDigest()});
    }
    const auto writeFile = [&](std::string_view name, const std::string& text) {
      current = target.PathOf(std::string(name));
      ReplacementFile& file = outputs.emplace_back(target, std::string(name), mode, mode, origin);
      WriteAll(file.file(), text.data(), text.size(), 0);
    };
    // The info file lands last: the set looks whole only with all it was asked for.
    if (wholeHash) {
      checksums.push_back({FileNameOf(sourcePath_), wholeHash->HexDigest()});
      writeFile(kChecksumFileName, ChecksumFileText(checksums));
    }
    writeFile(kInfoFileName, InfoFileText(FileNameOf(sourcePath_)));
    meter.Finish();  // the last moment a cancel leaves the folder as it was
    source_.Close();

    // The commit: the old set stops looking whole first, so that a failure
    // in this step leaves no info file, and the new set looks whole last.
    target.Remove(std::string(kInfoFileName));
    target.Remove(std::string(kChecksumFileName));
    for (std::size_t k = 0; k < parts_.size(); ++k) {
      current = outputs[k].target();
      outputs[k].Commit();
    }
    for (const std::string& name : oldParts_) target.Remove(name);
    for (std::size_t k = parts_.size(); k < outputs.size(); ++k) outputs[k].Commit();
  } catch (const std::bad_alloc&) {
    throw FileError(kOutOfMemory, FileOperation::Write, current);
  }
  return parts_.back().substr(0, parts_.back().size() - kPartExtension.size());
}

Report SplitJob::Run() {
  if (std::optional<Report> refusal = Check()) return *refusal;
  try {
    if (std::optional<Report> refusal = Prepare()) {
      if (createdChild_) parent_.RemoveChildIfEmpty(childName_);
      return *refusal;
    }
    if (std::optional<Report> refusal =
            CheckSplitRoom(*target_, source_, pieceSize_, parts_.size(), request_.checksums)) {
      Abandon();
      return *refusal;
    }
    const std::string lastNumber = WriteParts(*target_);
    // A new folder, once the set is in it, is as its files are.
    if (createdChild_) target_->GiveTo(sourceStatus_.owner, sourceStatus_.group);
    return BoxReport(
        Outcome::Done, MessageKind::Information, messages::kSplitDoneTitle,
        messages::SplitDone(request_.sourcePath, FormatWholeNumber(ReadLeadingNumber(lastNumber))));
  } catch (...) {
    Abandon();
    throw;
  }
}

void SplitJob::Abandon() noexcept {
  target_.reset();  // closed, and so unlocked, before its folder may go
  if (createdChild_) parent_.RemoveChildIfEmpty(childName_);
}

}  // namespace

Report Split(const SplitRequest& request, const Progress& progress) {
  if (request.sourcePath.empty()) {
    return Refusal(messages::kReadErrorTitle, messages::kNoSource);
  }
  return RunReported(messages::kSplitCancelledTitle,
                     [&] { return SplitJob(request, progress).Run(); });
}

}  // namespace parcelo
