// On a file system with shared blocks (XFS made with reflink, loop-mounted
// for the test; needs root, skipped with the reason otherwise), an aligned
// split and its join share the source's blocks instead of copying them,
// and copy on write keeps the files apart afterwards.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fiemap.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>

#include "io/folder_listing.h"
#include "join/join.h"
#include "split/split.h"
#include "support/cli_runner.h"

namespace parcelo {
namespace {

using testing::ReadFile;
using testing::ShellQuoted;
using testing::WriteFile;

// An XFS image with reflink, mounted on a fresh folder while it lives.
class ReflinkDisk {
 public:
  ReflinkDisk() {
    const std::string image = scratch_ / "xfs.img";
    const std::string command = "truncate -s 320M " + ShellQuoted(image) + " && mkfs.xfs -q -m reflink=1 " +
                                ShellQuoted(image) + " >/dev/null 2>&1 && mount -o loop " +
                                ShellQuoted(image) + " " + ShellQuoted(mount_.path()) + " 2>/dev/null";
    mounted_ = std::system(command.c_str()) == 0;
  }
  ~ReflinkDisk() {
    if (mounted_) std::system(("umount " + ShellQuoted(mount_.path())).c_str());
  }
  bool mounted() const { return mounted_; }
  std::string operator/(const std::string& name) const { return mount_ / name; }

 private:
  testing::TempFolder scratch_;
  testing::TempFolder mount_;
  bool mounted_ = false;
};

// True when every extent of the file shares its blocks with another file.
bool AllExtentsShared(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY);
  if (fd < 0) return false;
  constexpr unsigned kMaxExtents = 64;
  auto buffer = std::make_unique<char[]>(sizeof(fiemap) + kMaxExtents * sizeof(fiemap_extent));
  auto* map = reinterpret_cast<fiemap*>(buffer.get());
  *map = {};
  map->fm_length = FIEMAP_MAX_OFFSET;
  map->fm_flags = FIEMAP_FLAG_SYNC;
  map->fm_extent_count = kMaxExtents;
  const bool mapped = ioctl(fd, FS_IOC_FIEMAP, map) == 0;
  close(fd);
  if (!mapped || map->fm_mapped_extents == 0) return false;
  for (unsigned i = 0; i < map->fm_mapped_extents; ++i) {
    if (!(map->fm_extents[i].fe_flags & FIEMAP_EXTENT_SHARED)) return false;
  }
  return true;
}

TEST(BlockSharing, AlignedSplitAndJoinShareBlocksAndStayApartOnWrite) {
  ReflinkDisk disk;
  if (!disk.mounted()) GTEST_SKIP() << "no XFS image with reflink can be loop-mounted here";
  const std::string bytes = testing::PatternBytes(8 << 20) + "tail";
  WriteFile(disk / "source.bin", bytes);
  testing::RecordingSink boxes;
  ASSERT_EQ(Split({disk / "source.bin", "1048576", true, "set"}, boxes.sink()), Outcome::Done);
  EXPECT_TRUE(AllExtentsShared(disk / "set/001.drb"));
  EXPECT_TRUE(AllExtentsShared(disk / "set/005.drb"));
  EXPECT_EQ(ReadFile(disk / "set/009.drb"), "tail");

  ASSERT_EQ(Join(disk / "set", ListFolder, boxes.sink()), Outcome::Done);
  EXPECT_EQ(ReadFile(disk / "set/source.bin"), bytes);
  EXPECT_TRUE(AllExtentsShared(disk / "set/source.bin"));

  // Writing into a part changes neither the source nor the joined file.
  WriteFile(disk / "set/002.drb", std::string(1 << 20, 'z'));
  EXPECT_EQ(ReadFile(disk / "source.bin"), bytes);
  EXPECT_EQ(ReadFile(disk / "set/source.bin"), bytes);
}

TEST(BlockSharing, UnalignedPiecesAreCopiedExactly) {
  ReflinkDisk disk;
  if (!disk.mounted()) GTEST_SKIP() << "no XFS image with reflink can be loop-mounted here";
  const std::string bytes = testing::PatternBytes(5 << 20);
  WriteFile(disk / "source.bin", bytes);
  testing::RecordingSink boxes;
  ASSERT_EQ(Split({disk / "source.bin", "1000000", true, "set"}, boxes.sink()), Outcome::Done);
  EXPECT_EQ(ReadFile(disk / "set/002.drb"), bytes.substr(1000000, 1000000));
  ASSERT_EQ(Join(disk / "set", ListFolder, boxes.sink()), Outcome::Done);
  EXPECT_EQ(ReadFile(disk / "set/source.bin"), bytes);
}

}  // namespace
}  // namespace parcelo
