#include "io/copy_range.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "io/folder.h"
#include "io/replacement_file.h"
#include "support/expect_file_error.h"
#include "support/faulty_sys_calls.h"
#include "support/temp_folder.h"

namespace parcelo::testing {
namespace {

constexpr std::uint64_t kMiB = 1 << 20, kSize = 8 * kMiB, kPiece = 3 * kMiB;
constexpr std::uint64_t kSlack = 64 * 1024;  // a file system may allocate a little around data

struct Collector : ByteObserver {
  void See(const char* data, std::size_t size) noexcept override { seen.append(data, size); }
  std::string seen;
};

// The source: 8 MiB of holes but for pattern bytes at 2 MiB (2 MiB of them)
// and at 5 MiB + 4 KiB (4 KiB). Its 3 MiB pieces start with a hole, hold
// holes between data, and are only a hole. The layer refuses block sharing.
struct RangeCopierTest : ::testing::Test {
  RangeCopierTest() {
    WriteFile(folder / "source", "");
    std::filesystem::resize_file(folder / "source", kSize);
    std::fstream out(folder / "source", std::ios::binary | std::ios::in | std::ios::out);
    for (const auto& [offset, length] :
         {std::pair{2 * kMiB, 2 * kMiB}, {5 * kMiB + 4096, std::uint64_t{4096}}}) {
      bytes.replace(offset, length, PatternBytes(length, static_cast<unsigned>(offset + 1)));
      out.seekp(static_cast<std::streamoff>(offset))
          .write(bytes.data() + offset, static_cast<std::streamsize>(length));
    }
  }
  std::uint64_t AllocatedBytes(const std::string& name) {
    struct stat status {};  // no blocks where there is no file
    stat((folder / name).c_str(), &status);
    return static_cast<std::uint64_t>(status.st_blocks) * 512;
  }
  // The source copied to "target" a piece at a time by a new copier, for `observers`.
  void CopyInPieces(const ByteObservers& observers = {}) {
    RangeCopier pieces;
    const File from = File::OpenForReading(folder / "source");
    ReplacementFile to(open, "target", 0644);
    for (std::uint64_t offset = 0; offset < kSize; offset += kPiece)
      pieces.Copy(from, offset, to.file(), offset, std::min(kPiece, kSize - offset), {}, observers);
    to.Commit();
  }

  TempFolder folder;
  Folder open = Folder::Open(folder.path());
  FaultySysCalls layer;
  ScopedSysCalls scope{layer};
  RangeCopier copier;
  std::string bytes = std::string(kSize, '\0');
};

// With the file system's hole information, or without it (then every byte
// is read, and the zero blocks of a source with fewer blocks than bytes are
// left as holes all the same).
struct HoleCopyTest : RangeCopierTest, ::testing::WithParamInterface<bool> {};

// Holes come out as holes of the same length, wherever they lie in a piece
// (one that starts with a hole, holds holes between data, or is only a
// hole: any of them written would show in the whole), through the split's
// pieces and the join's whole: the bytes read back and those an observer
// saw are the source's.
TEST_P(HoleCopyTest, HolesStayHolesWhereverTheyLie) {
  if (!GetParam()) layer.errors["SeekData"] = layer.errors["SeekHole"] = EINVAL;
  const File source = File::OpenForReading(folder / "source");
  ReplacementFile output(open, "output", 0644);
  Collector observer;
  for (std::uint64_t offset = 0; offset < kSize; offset += kPiece) {
    const std::uint64_t count = std::min(kPiece, kSize - offset);
    {
      ReplacementFile part(open, "part", 0644);
      copier.Copy(source, offset, part.file(), 0, count, {}, {&observer});
      part.Commit();
    }
    copier.Copy(File::OpenForReading(folder / "part"), 0, output.file(), offset, count, {});
  }
  output.Commit();
  EXPECT_TRUE(ReadFile(folder / "output") == bytes && observer.seen == bytes);
  EXPECT_LE(AllocatedBytes("output"), 2 * kMiB + 4096 + kSlack);
}

INSTANTIATE_TEST_SUITE_P(HoleInformation, HoleCopyTest, ::testing::Bool(),
                         [](const auto& row) { return row.param ? "Given" : "Missing"; });

// Checksums see every byte in order, a hole as zeros, when copied or only read.
TEST_F(RangeCopierTest, ObserversSeeEveryByteInOrder) {
  Collector first, second, reader;
  CopyInPieces({&first, &second});
  copier.Read(File::OpenForReading(folder / "target"), 0, kSize, {}, {&reader});
  EXPECT_TRUE(first.seen == bytes && second.seen == bytes && reader.seen == bytes);
}

// Block sharing that fails for one range falls back to the buffer for that
// range alone: it is tried again for each piece. A file system with no
// shared blocks at all is not asked again.
TEST_F(RangeCopierTest, SharingIsAskedAgainUnlessTheFileSystemHasNone) {
  for (const auto& [error, asked] : {std::pair{EINVAL, 3}, {EOPNOTSUPP, 1}}) {
    SCOPED_TRACE(error);
    layer.errors["CloneRange"] = error;
    layer.calls.clear();
    CopyInPieces();
    EXPECT_EQ(layer.calls["CloneRange"], asked);
    EXPECT_TRUE(ReadFile(folder / "target") == bytes);
  }
}

// A source that ends before its range is an error, also while observers
// watch; they saw what was read, and the next copy finds the buffers free.
TEST_F(RangeCopierTest, ASourceThatEndsEarlyFailsThatReadAlone) {
  const std::string data = PatternBytes(3 * kMiB);
  WriteFile(folder / "short", data);
  const File from = File::OpenForReading(folder / "short");
  Collector observer;
  ExpectFileError([&] { copier.Read(from, 0, 4 * kMiB, {}, {&observer}); }, kUnexpectedEnd,
                  folder / "short");
  copier.Read(from, 0, 3 * kMiB, {}, {&observer});
  EXPECT_TRUE(observer.seen == data + data);
}

}  // namespace
}  // namespace parcelo::testing
