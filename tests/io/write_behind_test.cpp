#include "io/write_behind.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "io/copy_range.h"
#include "io/file.h"
#include "io/folder.h"
#include "io/replacement_file.h"
#include "support/faulty_sys_calls.h"
#include "support/temp_folder.h"

namespace parcelo::testing {
namespace {

constexpr std::uint64_t kMiB = 1 << 20, kSize = 20 * kMiB + 5, kAt = 3;

// Notes the write-back asked for, and answers as `answer` says.
struct WriteBackLog : FaultySysCalls {
  int answer = 0;
  std::vector<std::pair<std::uint64_t, std::uint64_t>> asked;  // offset, count
  int StartWriteBack(Handle, std::uint64_t offset, std::uint64_t count) override {
    asked.emplace_back(offset, count);
    return answer;
  }
};

// Copies the 20 MiB source to offset 3 of a new file through `layer`;
// returns what the file then holds from there.
std::string CopyThrough(WriteBackLog& layer, const TempFolder& folder, const std::string& bytes) {
  WriteFile(folder / "source", bytes);
  const Folder open = Folder::Open(folder.path());
  const ScopedSysCalls scope(layer);
  ReplacementFile output(open, "output", 0644);
  RangeCopier().Copy(File::OpenForReading(folder / "source"), 0, output.file(), kAt, kSize, {});
  output.Commit();
  return ReadFile(folder / "output").substr(kAt);
}

TEST(WriteBehind, CopyAsksForTheWriteBackOfEveryByteInOrderAndInChunks) {
  TempFolder folder;
  WriteBackLog layer;
  CopyThrough(layer, folder, PatternBytes(kSize));
  std::uint64_t next = kAt;
  for (std::size_t i = 0; i < layer.asked.size(); ++i) {
    SCOPED_TRACE("request " + std::to_string(i));
    EXPECT_EQ(layer.asked[i].first, next);
    if (i + 1 < layer.asked.size()) {
      EXPECT_GE(layer.asked[i].second, WriteBehind::kChunk);
    }
    next += layer.asked[i].second;
  }
  EXPECT_EQ(next, kAt + kSize);
}

TEST(WriteBehind, ARefusalLeavesTheCopyWhole) {
  TempFolder folder;
  WriteBackLog layer;
  layer.answer = EINVAL;  // a file system that takes no such hint
  const std::string bytes = PatternBytes(kSize);
  EXPECT_EQ(CopyThrough(layer, folder, bytes), bytes);
  EXPECT_FALSE(layer.asked.empty());
}

}  // namespace
}  // namespace parcelo::testing
