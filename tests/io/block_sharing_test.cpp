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

struct Pieces {
  const char* name;
  const char* size;
  bool shared;  // whether such pieces share the source's blocks
};

// Each test splits a source of 8 MiB and a little into a set on the image,
// in pieces of the row's size.
struct BlockSharing : ::testing::TestWithParam<Pieces> {
  static void SetUpTestSuite() {
    const std::string file = ShellQuoted(image / "xfs.img");
    mounted = Shell("truncate -s 320M " + file + " && mkfs.xfs -q -m reflink=1 " + file +
                    " >/dev/null 2>&1 && mount -o loop " + file + " " + ShellQuoted(disk.path()) +
                    " 2>/dev/null");
  }
  static void TearDownTestSuite() {
    if (mounted) Shell("umount " + ShellQuoted(disk.path()));
  }
  void SetUp() override {
    if (!mounted) GTEST_SKIP() << "no XFS image with reflink can be loop-mounted here";
    WriteFile(disk / "source.bin", bytes);
    std::filesystem::remove_all(set);
    ASSERT_EQ(Split({disk / "source.bin", GetParam().size, true, "set", true}).outcome,
              Outcome::Done);
  }
  static inline TempFolder image, disk;
  static inline bool mounted = false;
  const std::string bytes = PatternBytes(8 << 20) + "tail", set = disk / "set";
};

TEST_P(BlockSharing, SplitSharesTheSourcesBlocksOnlyForAlignedPieces) {
  EXPECT_EQ(AllExtentsShared(set + "/002.drb"), GetParam().shared);
}

TEST_P(BlockSharing, ChecksumsMatchTheParts) {
  EXPECT_TRUE(
      Shell("cd " + ShellQuoted(set) + " && sha256sum --quiet -c --ignore-missing Infa.sha256"));
}

TEST_P(BlockSharing, JoinSharesThePartsBlocksOnlyForAlignedPieces) {
  EXPECT_EQ(Join(set).outcome, Outcome::Done);
  EXPECT_TRUE(ReadFile(set + "/source.bin") == bytes);
  EXPECT_EQ(AllExtentsShared(set + "/source.bin"), GetParam().shared);
}

INSTANTIATE_TEST_SUITE_P(Pieces, BlockSharing,
                         ::testing::Values(Pieces{"Aligned", "1048576", true},
                                           Pieces{"Unaligned", "1000000", false}),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace parcelo::testing
