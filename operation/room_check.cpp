#include "operation/room_check.h"

#include <algorithm>
#include <functional>

#include "io/block_sharing.h"
#include "io/disk_space.h"
#include "io/file.h"
#include "io/folder.h"
#include "operation/messages.h"

namespace parcelo {
namespace {

// The refusal for an output whose largest file is `largestFile` bytes and
// which takes at most `bound` bytes of disk; `cost` works out what it
// really takes, asked only when the bound does not fit.
std::optional<Report> CheckRoom(const Folder& target, std::uint64_t largestFile,
                                std::uint64_t bound, const std::function<std::uint64_t()>& cost) {
  const std::uint64_t largest = LargestFileIn(target);
  if (largestFile > largest) {
    return BoxReport(Outcome::Refused, MessageKind::Critical, messages::kSizeErrorTitle,
                     messages::TooLargeForFileSystem(largestFile, largest));
  }
  const std::optional<std::uint64_t> available = FreeSpaceIn(target);
  if (!available || bound <= *available) return std::nullopt;
  const std::uint64_t needed = cost();
  if (needed <= *available) return std::nullopt;
  return BoxReport(Outcome::Refused, MessageKind::Critical, messages::kNoRoomTitle,
                   messages::NoRoom(needed, *available));
}

}  // namespace

std::optional<Report> CheckSplitRoom(const Folder& target, const File& source,
                                     std::uint64_t pieceSize, std::size_t parts, bool checksums) {
  const FileStatus status = source.Status();
  const auto sizeOf = [&](std::size_t k) {
    return std::min(pieceSize, status.size - k * pieceSize);
  };
  const std::uint64_t small = (checksums ? 2 : 1) * kDiskBlock;
  std::uint64_t bound = small;
  for (std::size_t k = 0; k < parts; ++k) bound += WholeBlocks(sizeOf(k));
  return CheckRoom(target, std::min(pieceSize, status.size), bound, [&] {
    const bool sharing = SharesBlocks(source, target);
    std::uint64_t copied = 0;
    for (std::size_t k = 0; k < parts; ++k) {
      if (!sharing || !BlockSharing::CanShare(status, k * pieceSize, 0, sizeOf(k))) {
        copied += StoredBytes(source, k * pieceSize, sizeOf(k));
      }
    }
    // Each part may begin and end in a block of the source's.
    return std::min(copied, WholeBlocks(status.allocated) + parts * kDiskBlock) + small;
  });
}

std::optional<Report> CheckJoinRoom(const Folder& set, const std::vector<FolderEntry>& parts) {
  std::uint64_t total = 0;
  for (const FolderEntry& part : parts) total += part.status.size;
  return CheckRoom(set, total, WholeBlocks(total), [&] {
    std::uint64_t stored = 0, position = 0;
    std::optional<bool> sharing;
    for (const FolderEntry& entry : parts) {
      const File part = File::OpenEntry(set, entry.name);
      const FileStatus status = part.Status();
      if (!sharing) sharing = SharesBlocks(part, set);
      if (!*sharing || !BlockSharing::CanShare(status, 0, position, status.size)) {
        stored += StoredBytes(part, 0, status.size);
      }
      position += status.size;
    }
    return stored;
  });
}

}  // namespace parcelo
