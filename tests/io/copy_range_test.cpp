#include "io/copy_range.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "io/file.h"
#include "io/file_error.h"
#include "io/folder.h"
#include "io/replacement_file.h"
#include "support/expect_file_error.h"
#include "support/faulty_sys_calls.h"
#include "support/temp_folder.h"

namespace parcelo::testing {
namespace {

constexpr std::uint64_t kMiB = 1 << 20;
using Ranges = std::vector<std::pair<std::uint64_t, std::uint64_t>>;  // offset, length

struct RangeCopierTest : ::testing::Test {
  TempFolder folder;
  Folder open = Folder::Open(folder.path());
  RangeCopier copier;

  // A file of `size` bytes whose only data are `data`, pattern bytes; the
  // rest is holes. Returns its bytes.
  std::string MakeSparseFile(const std::string& name, std::uint64_t size, const Ranges& data) {
    std::string bytes(size, '\0');
    WriteFile(folder / name, "");
    std::filesystem::resize_file(folder / name, size);
    std::fstream out(folder / name, std::ios::binary | std::ios::in | std::ios::out);
    for (const auto& [offset, length] : data) {
      bytes.replace(offset, length, PatternBytes(length, static_cast<unsigned>(offset + 1)));
      out.seekp(static_cast<std::streamoff>(offset)).write(bytes.data() + offset, static_cast<std::streamsize>(length));
    }
    return bytes;
  }
  std::uint64_t AllocatedBytes(const std::string& name) {
    struct stat status {};
    return stat((folder / name).c_str(), &status) == 0 ? static_cast<std::uint64_t>(status.st_blocks) * 512 : 0;
  }
  // Copies `source` into a new file `target` in ranges of `piece` bytes.
  void CopyInPieces(const std::string& source, const std::string& target, std::uint64_t size, std::uint64_t piece,
                    const ByteObservers& observers = {}) {
    const File from = File::OpenForReading(folder / source);
    ReplacementFile to(open, target, 0644);
    for (std::uint64_t offset = 0; offset < size; offset += piece) {
      copier.Copy(from, offset, to.file(), offset, std::min(piece, size - offset), {}, observers);
    }
    to.Commit();
  }
};

// Block sharing that fails for one range falls back to the buffer for that
// range alone; where the file system has none, it is not asked again.
TEST_F(RangeCopierTest, FallsBackToTheBufferWhereBlocksCannotBeShared) {
  const std::string bytes = PatternBytes(3 * 65536);
  WriteFile(folder / "source", bytes);
  for (const auto& [error, calls] : {std::pair{EINVAL, 3}, std::pair{EOPNOTSUPP, 1}}) {  // in this order
    FaultySysCalls layer;
    layer.errors["CloneRange"] = error;
    ScopedSysCalls scope(layer);
    CopyInPieces("source", "target", bytes.size(), 65536);
    EXPECT_EQ(layer.calls["CloneRange"], calls) << error;
    EXPECT_EQ(ReadFile(folder / "target"), bytes);
  }
}

constexpr std::uint64_t kPiece = 3 * kMiB;

// Holes come out as holes of the same length, wherever they lie in a piece,
// through the split's pieces and the join's whole; the bytes read back are
// the source's. The pieces of this 8 MiB file start with a hole, hold holes
// between data, and are only a hole.
TEST_F(RangeCopierTest, HolesStayHolesAndTheBytesStayTheSame) {
  const std::uint64_t size = 8 * kMiB;
  const std::string bytes = MakeSparseFile("source", size, {{2 * kMiB, 2 * kMiB}, {5 * kMiB + 4096, 4096}});
  const std::uint64_t dataInPiece[] = {kMiB, kMiB + 4096, 0};
  const File source = File::OpenForReading(folder / "source");
  ReplacementFile output(open, "output", 0644);
  constexpr std::uint64_t kSlack = 64 * 1024;  // a file system may allocate a little around data
  for (std::uint64_t offset = 0; offset < size; offset += kPiece) {
    const std::uint64_t count = std::min(kPiece, size - offset);
    {
      ReplacementFile part(open, "part", 0644);
      copier.Copy(source, offset, part.file(), 0, count, {});
      part.Commit();
    }
    EXPECT_TRUE(ReadFile(folder / "part") == bytes.substr(offset, count)) << offset;
    EXPECT_LE(AllocatedBytes("part"), dataInPiece[offset / kPiece] + kSlack) << offset;
    copier.Copy(File::OpenForReading(folder / "part"), 0, output.file(), offset, count, {});
  }
  output.Commit();
  EXPECT_TRUE(ReadFile(folder / "output") == bytes);
  EXPECT_LE(AllocatedBytes("output"), 2 * kMiB + 4096 + kSlack);
}

struct Collector : ByteObserver {
  void See(const char* data, std::size_t size) noexcept override { seen.append(data, size); }
  std::string seen;
};

// Checksums see every byte in order, a hole as zeros, when copied or only
// read; where the file system gives no hole information, every byte is
// copied.
TEST_F(RangeCopierTest, ObserversSeeEveryByteInOrderHolesAsZeros) {
  const std::string bytes = MakeSparseFile("source", 8 * kMiB, {{kMiB, kMiB}, {5 * kMiB, 4096}});
  for (const bool holesKnown : {true, false}) {
    FaultySysCalls layer;
    if (!holesKnown) layer.errors = {{"SeekData", EINVAL}, {"SeekHole", EINVAL}, {"CloneRange", EOPNOTSUPP}};
    ScopedSysCalls scope(layer);
    Collector first, second, reader;
    CopyInPieces("source", "target", bytes.size(), kPiece, {&first, &second});
    copier.Read(File::OpenForReading(folder / "target"), 0, bytes.size(), {}, {&reader});
    EXPECT_TRUE(first.seen == bytes && second.seen == bytes && reader.seen == bytes) << holesKnown;
    EXPECT_TRUE(ReadFile(folder / "target") == bytes) << holesKnown;
  }
}

}  // namespace
}  // namespace parcelo::testing
