// On a file system with shared blocks (an XFS image made with reflink and
// loop-mounted for the test; needs root, skipped otherwise) an aligned split
// and its join share the source's blocks, and copy on write keeps the files
// apart afterwards; unaligned pieces are copied exactly, and the checksums
// of a set are right either way.

#include <gtest/gtest.h>

#include "join/join.h"
#include "split/split.h"
#include "support/cli_runner.h"

namespace parcelo::testing {
namespace {

struct ReflinkDisk : TempFolder {
  ReflinkDisk() {
    const std::string image = ShellQuoted(image_ / "xfs.img");
    mounted = std::system(("truncate -s 320M " + image + " && mkfs.xfs -q -m reflink=1 " + image +
                           " >/dev/null 2>&1 && mount -o loop " + image + " " + ShellQuoted(path()) + " 2>/dev/null")
                              .c_str()) == 0;
  }
  ~ReflinkDisk() {
    if (mounted) std::system(("umount " + ShellQuoted(path())).c_str());
  }
  TempFolder image_;
  bool mounted = false;
};

// True when every extent of the file shares its blocks with another file.
bool AllExtentsShared(const std::string& path) {
  return std::system(("filefrag -v " + ShellQuoted(path) +
                      " | awk '/^ *[0-9]+:/ {n++; if (!/shared/) bad=1} END {exit bad || !n}'")
                         .c_str()) == 0;
}

TEST(BlockSharing, AlignedPiecesShareBlocksAndStayApartOnWrite) {
  ReflinkDisk disk;
  if (!disk.mounted) GTEST_SKIP() << "no XFS image with reflink can be loop-mounted here";
  for (const auto& [size, shared] : {std::pair{"1048576", true}, std::pair{"1000000", false}}) {
    const std::string bytes = PatternBytes(8 << 20) + "tail";
    WriteFile(disk / "source.bin", bytes);
    std::filesystem::remove_all(disk / "set");
    ASSERT_EQ(Split({disk / "source.bin", size, true, "set", true}).outcome, Outcome::Done);
    EXPECT_EQ(AllExtentsShared(disk / "set/002.drb"), shared) << size;
    // Shared blocks are read back for the checksums.
    EXPECT_EQ(
        std::system(
            ("cd " + ShellQuoted(disk / "set") + " && sha256sum --quiet -c --ignore-missing Infa.sha256").c_str()),
        0);
    EXPECT_EQ(ReadFile(disk / "set/002.drb"), bytes.substr(std::stoul(size), std::stoul(size)));
    ASSERT_EQ(Join(disk / "set", ListFolder).outcome, Outcome::Done);
    EXPECT_EQ(ReadFile(disk / "set/source.bin"), bytes);
    EXPECT_EQ(AllExtentsShared(disk / "set/source.bin"), shared) << size;
    // Writing into a part changes neither the source nor the joined file.
    WriteFile(disk / "set/001.drb", std::string(1 << 20, 'z'));
    EXPECT_EQ(ReadFile(disk / "source.bin"), bytes);
    EXPECT_EQ(ReadFile(disk / "set/source.bin"), bytes);
  }
}

}  // namespace
}  // namespace parcelo::testing
