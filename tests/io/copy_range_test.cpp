#include "io/copy_range.h"

#include <gtest/gtest.h>

#include "io/file.h"
#include "io/file_error.h"
#include "io/folder.h"
#include "io/replacement_file.h"
#include "support/expect_file_error.h"
#include "support/faulty_sys_calls.h"
#include "support/temp_folder.h"

namespace parcelo {
namespace {

// Block sharing that fails for one range falls back to the buffer for that
// range alone; where the file system has none, it is not asked again.
TEST(RangeCopier, FallsBackToTheBufferWhereBlocksCannotBeShared) {
  testing::TempFolder folder;
  const std::string bytes = testing::PatternBytes(3 * 65536);
  testing::WriteFile(folder / "source", bytes);
  for (const auto& [error, calls] : {std::pair{EINVAL, 3}, std::pair{EOPNOTSUPP, 1}}) {
    testing::FaultySysCalls layer;
    layer.cloneError = error;
    ScopedSysCalls scope(layer);
    const File source = File::OpenForReading(folder / "source");
    const Folder open = Folder::Open(folder.path());
    ReplacementFile target(open, "target", 0644);
    RangeCopier copier;
    std::uint64_t moved = 0;
    for (std::uint64_t offset = 0; offset < bytes.size(); offset += 65536) {
      copier.Copy(source, offset, target.file(), offset, 65536, [&](std::uint64_t n) { moved += n; });
    }
    target.Commit();
    EXPECT_EQ(layer.cloneCalls, calls) << error;
    EXPECT_EQ(moved, bytes.size());
    EXPECT_EQ(testing::ReadFile(folder / "target"), bytes);
  }
}

TEST(RangeCopier, SourceThatEndsEarlyIsAnErrorNamingIt) {
  testing::TempFolder folder;
  testing::WriteFile(folder / "source", "short");
  const File source = File::OpenForReading(folder / "source");
  const Folder open = Folder::Open(folder.path());
  ReplacementFile target(open, "target", 0644);
  RangeCopier copier;
  testing::ExpectFileError([&] { copier.Copy(source, 0, target.file(), 0, 6, {}); }, kUnexpectedEnd, folder / "source");
}

}  // namespace
}  // namespace parcelo
