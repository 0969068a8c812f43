#include "io/copy_range.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "io/file.h"
#include "io/folder.h"
#include "io/replacement_file.h"
#include "support/expect_file_error.h"
#include "support/faulty_sys_calls.h"
#include "support/temp_folder.h"

namespace parcelo::testing {
namespace {

constexpr std::uint64_t kMiB = 1 << 20, kSize = 8 * kMiB, kPiece = 3 * kMiB;

// The source: 8 MiB of holes but for pattern bytes at 2 MiB (2 MiB of them)
// and at 5 MiB + 4 KiB (4 KiB). Its 3 MiB pieces start with a hole, hold
// holes between data, and are only a hole.
struct RangeCopierTest : ::testing::Test {
  RangeCopierTest() {
    WriteFile(folder / "source", "");
    std::filesystem::resize_file(folder / "source", kSize);
    std::fstream out(folder / "source", std::ios::binary | std::ios::in | std::ios::out);
    for (const auto& [offset, length] : {std::pair{2 * kMiB, 2 * kMiB}, {5 * kMiB + 4096, std::uint64_t{4096}}}) {
      bytes.replace(offset, length, PatternBytes(length, static_cast<unsigned>(offset + 1)));
      out.seekp(static_cast<std::streamoff>(offset)).write(bytes.data() + offset, static_cast<std::streamsize>(length));
    }
  }
  std::uint64_t AllocatedBytes(const std::string& name) {
    struct stat status {};
    return stat((folder / name).c_str(), &status) == 0 ? static_cast<std::uint64_t>(status.st_blocks) * 512 : 0;
  }

  TempFolder folder;
  Folder open = Folder::Open(folder.path());
  RangeCopier copier;
  std::string bytes = std::string(kSize, '\0');
};

// Holes come out as holes of the same length, wherever they lie in a piece,
// through the split's pieces and the join's whole; the bytes read back are
// the source's.
TEST_F(RangeCopierTest, HolesStayHolesAndTheBytesStayTheSame) {
  const std::uint64_t dataInPiece[] = {kMiB, kMiB + 4096, 0};
  const File source = File::OpenForReading(folder / "source");
  ReplacementFile output(open, "output", 0644);
  constexpr std::uint64_t kSlack = 64 * 1024;  // a file system may allocate a little around data
  for (std::uint64_t offset = 0; offset < kSize; offset += kPiece) {
    const std::uint64_t count = std::min(kPiece, kSize - offset);
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
// read. Where the file system gives no hole information, every byte is
// read, and the zero blocks of a source with fewer blocks than bytes are
// left as holes all the same; block sharing that fails for one range falls back to the buffer
// for that range alone (here a piece each); where the file system has none,
// it is not asked again.
TEST_F(RangeCopierTest, ObserversSeeEveryByteAndRefusedSharingFallsBackToTheBuffer) {
  // In this order: the copier remembers a file system without shared blocks.
  for (const auto& [holesKnown, error, clones] : {std::tuple{false, EINVAL, 3}, {true, EOPNOTSUPP, 1}}) {
    FaultySysCalls layer;
    layer.errors["CloneRange"] = error;
    if (!holesKnown) layer.errors["SeekData"] = layer.errors["SeekHole"] = EINVAL;
    ScopedSysCalls scope(layer);
    Collector first, second, reader;
    const File from = File::OpenForReading(folder / "source");
    ReplacementFile to(open, "target", 0644);
    for (std::uint64_t offset = 0; offset < kSize; offset += kPiece) {
      copier.Copy(from, offset, to.file(), offset, std::min(kPiece, kSize - offset), {}, {&first, &second});
    }
    to.Commit();
    copier.Read(File::OpenForReading(folder / "target"), 0, kSize, {}, {&reader});
    EXPECT_EQ(layer.calls["CloneRange"], clones) << holesKnown;
    EXPECT_TRUE(first.seen == bytes && second.seen == bytes && reader.seen == bytes) << holesKnown;
    EXPECT_TRUE(ReadFile(folder / "target") == bytes) << holesKnown;
    EXPECT_LE(AllocatedBytes("target"), 2 * kMiB + 4096 + 64 * 1024) << holesKnown;
  }
}

// A source that ends before its range is an error, also while observers watch; they saw what was read,
// and the next copy finds the buffers free again.
TEST_F(RangeCopierTest, ASourceThatEndsEarlyIsAnErrorWhileObserversWatchToo) {
  const std::string data = PatternBytes(3 * kMiB);
  WriteFile(folder / "short", data);
  const File from = File::OpenForReading(folder / "short");
  Collector observer;
  ExpectFileError([&] { copier.Read(from, 0, 4 * kMiB, {}, {&observer}); }, kUnexpectedEnd, folder / "short");
  copier.Read(from, 0, 3 * kMiB, {}, {&observer});
  EXPECT_TRUE(observer.seen == data + data);
}

}  // namespace
}  // namespace parcelo::testing
