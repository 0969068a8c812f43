// On a file system with shared blocks (an XFS image made with reflink and
// loop-mounted for the test; needs root, skipped otherwise) an aligned split
// and its join share the source's blocks; unaligned pieces are copied
// exactly, and the checksums of a set are right either way.

#include <gtest/gtest.h>

#include "join/join.h"
#include "split/split.h"
#include "support/cli_runner.h"

namespace parcelo::testing {
namespace {

bool Shell(const std::string& command) { return std::system(command.c_str()) == 0; }

// True when every extent of the file shares its blocks with another file.
bool AllExtentsShared(const std::string& path) {
  return Shell("filefrag -v " + ShellQuoted(path) +
               " | awk '/^ *[0-9]+:/ {n++; if (!/shared/) bad=1} END {exit bad || !n}'");
}

// A source of 8 MiB and a little split into a set on the image in pieces of
// the row's size, then joined: the part and the joined file share blocks
// where the pieces are aligned; the checksums and the joined bytes are the
// source's either way.
TEST(BlockSharing, OnlyAlignedPiecesShareBlocks) {
  TempFolder image, disk;
  const std::string file = ShellQuoted(image / "xfs.img");
  if (!Shell("truncate -s 320M " + file + " && mkfs.xfs -q -m reflink=1 " + file +
             " >/dev/null 2>&1 && mount -o loop " + file + " " + ShellQuoted(disk.path()) + " 2>/dev/null")) {
    GTEST_SKIP() << "no XFS image with reflink can be loop-mounted here";
  }
  const struct Unmounted {  // at the end of the test, whatever happens in it
    std::string path;
    ~Unmounted() { Shell("umount " + ShellQuoted(path)); }
  } unmounted{disk.path()};
  const std::string bytes = PatternBytes(8 << 20) + "tail", set = disk / "set";
  for (const auto& [size, shared] : {std::pair{"1048576", true}, {"1000000", false}}) {
    SCOPED_TRACE(shared ? "aligned" : "unaligned");
    WriteFile(disk / "source.bin", bytes);
    std::filesystem::remove_all(set);
    ASSERT_EQ(Split({disk / "source.bin", size, true, "set", true}).outcome, Outcome::Done);
    EXPECT_EQ(AllExtentsShared(set + "/002.drb"), shared);
    EXPECT_TRUE(Shell("cd " + ShellQuoted(set) + " && sha256sum --quiet -c --ignore-missing Infa.sha256"));
    EXPECT_EQ(Join(set).outcome, Outcome::Done);
    EXPECT_TRUE(ReadFile(set + "/source.bin") == bytes);
    EXPECT_EQ(AllExtentsShared(set + "/source.bin"), shared);
  }
}

}  // namespace
}  // namespace parcelo::testing
