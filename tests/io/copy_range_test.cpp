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

// A file of `size` bytes whose only data are the ranges given (offset,
// length), pattern bytes; the rest is holes.
std::string MakeSparseFile(const std::string& path, std::uint64_t size,
                           const std::vector<std::pair<std::uint64_t, std::uint64_t>>& data) {
  std::string bytes(size, '\0');
  testing::WriteFile(path, "");
  std::filesystem::resize_file(path, size);
  std::fstream out(path, std::ios::binary | std::ios::in | std::ios::out);
  for (const auto& [offset, length] : data) {
    const std::string chunk = testing::PatternBytes(length, static_cast<unsigned>(offset + 1));
    bytes.replace(offset, length, chunk);
    out.seekp(static_cast<std::streamoff>(offset));
    out.write(chunk.data(), static_cast<std::streamsize>(length));
  }
  return bytes;
}

std::uint64_t AllocatedBytes(const std::string& path) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0) return UINT64_MAX;
  return static_cast<std::uint64_t>(status.st_blocks) * 512;
}

constexpr std::uint64_t kMiB = 1 << 20;
constexpr std::uint64_t kPiece = 3 * kMiB;

struct SparseLayout {
  const char* name;
  std::vector<std::pair<std::uint64_t, std::uint64_t>> data;  // in an 8 MiB file
};

void PrintTo(const SparseLayout& layout, std::ostream* out) { *out << layout.name; }

struct SparseCopyTest : ::testing::TestWithParam<SparseLayout> {
  testing::TempFolder folder;
  // Copies the source into parts of kPiece bytes, then the parts back into
  // one file, as the split and the join do.
  void SplitAndJoin(std::uint64_t size) {
    const Folder open = Folder::Open(folder.path());
    RangeCopier copier;
    const File source = File::OpenForReading(folder / "source");
    std::vector<std::string> parts;
    for (std::uint64_t offset = 0; offset < size; offset += kPiece) {
      parts.push_back("part" + std::to_string(parts.size()));
      ReplacementFile part(open, parts.back(), 0644);
      copier.Copy(source, offset, part.file(), 0, std::min(kPiece, size - offset), {});
      part.Commit();
    }
    ReplacementFile output(open, "output", 0644);
    std::uint64_t position = 0;
    for (const std::string& name : parts) {
      const File part = File::OpenForReading(folder / name);
      copier.Copy(part, 0, output.file(), position, part.Size(), {});
      position += part.Size();
    }
    output.Commit();
  }
};

// Holes come out as holes of the same length, wherever they lie in a
// piece; the bytes read back are the source's.
TEST_P(SparseCopyTest, HolesStayHolesAndTheBytesStayTheSame) {
  const std::uint64_t size = 8 * kMiB;
  const std::string bytes = MakeSparseFile(folder / "source", size, GetParam().data);
  SplitAndJoin(size);
  constexpr std::uint64_t kSlack = 64 * 1024;  // a file system may allocate a little around data
  std::uint64_t data = 0;
  for (const auto& range : GetParam().data) data += range.second;
  for (std::uint64_t offset = 0, k = 0; offset < size; offset += kPiece, ++k) {
    const std::string part = folder / ("part" + std::to_string(k));
    EXPECT_TRUE(testing::ReadFile(part) == bytes.substr(offset, kPiece)) << part;
    std::uint64_t inPart = 0;
    for (const auto& [start, length] : GetParam().data) {
      const std::uint64_t from = std::max(start, offset), to = std::min(start + length, offset + kPiece);
      if (to > from) inPart += to - from;
    }
    EXPECT_LE(AllocatedBytes(part), inPart + kSlack) << part;
  }
  EXPECT_TRUE(testing::ReadFile(folder / "output") == bytes);
  EXPECT_LE(AllocatedBytes(folder / "output"), data + kSlack);
}

INSTANTIATE_TEST_SUITE_P(Layouts, SparseCopyTest,
                         ::testing::Values(SparseLayout{"HoleAtTheStart", {{6 * kMiB, 2 * kMiB}}},
                                           SparseLayout{"HoleInTheMiddle", {{0, kMiB}, {7 * kMiB, kMiB}}},
                                           SparseLayout{"HoleAtTheEnd", {{0, kMiB}}},
                                           SparseLayout{"HolesAcrossPieces",
                                                        {{2 * kMiB, 2 * kMiB}, {5 * kMiB + 4096, 4096}}},
                                           SparseLayout{"OnlyAHole", {}}, SparseLayout{"NoHole", {{0, 8 * kMiB}}}),
                         [](const auto& test) { return std::string(test.param.name); });

// Where the file system tells of no hole, the copy is as it always was:
// one seek a range for a file without holes, every byte written where the
// file system gives no hole information.
TEST(RangeCopier, FileWithoutHolesCostsOneSeekARange) {
  testing::TempFolder folder;
  MakeSparseFile(folder / "full", 4 * kMiB, {{0, 4 * kMiB}});
  MakeSparseFile(folder / "sparse", 4 * kMiB, {{kMiB, 4096}});
  // Without hole information a sparse file is copied whole, as data.
  for (const auto& [name, seekError] : {std::pair{"full", 0}, std::pair{"sparse", EINVAL}}) {
    testing::FaultySysCalls layer;
    layer.seekError = seekError;
    ScopedSysCalls scope(layer);
    const File source = File::OpenForReading(folder / name);
    const Folder open = Folder::Open(folder.path());
    ReplacementFile target(open, "target", 0644);
    RangeCopier copier;
    for (std::uint64_t offset = 0; offset < 4 * kMiB; offset += kMiB) {
      copier.Copy(source, offset, target.file(), offset, kMiB, {});
    }
    target.Commit();
    EXPECT_EQ(layer.seekCalls, 4) << name;
    EXPECT_TRUE(testing::ReadFile(folder / "target") == testing::ReadFile(folder / name)) << name;
    EXPECT_GE(AllocatedBytes(folder / "target"), 4 * kMiB) << name;
  }
}

// A range that ends in a hole: the destination is made long enough, and a
// source that is shorter than the range is an error, not a hole.
TEST(RangeCopier, RangeEndingInAHoleGetsItsLengthOrAnError) {
  testing::TempFolder folder;
  MakeSparseFile(folder / "source", 4 * kMiB, {{0, kMiB}});
  const File source = File::OpenForReading(folder / "source");
  const Folder open = Folder::Open(folder.path());
  {
    testing::FaultySysCalls layer;
    layer.errors["Ftruncate"] = EFBIG;
    ScopedSysCalls scope(layer);
    ReplacementFile target(open, "target", 0644);
    testing::ExpectFileError([&] { RangeCopier().Copy(source, 0, target.file(), 0, 4 * kMiB, {}); }, EFBIG,
                             folder / "target");
  }
  ReplacementFile target(open, "target", 0644);
  testing::ExpectFileError([&] { RangeCopier().Copy(source, 0, target.file(), 0, 5 * kMiB, {}); }, kUnexpectedEnd,
                           folder / "source");
  EXPECT_EQ(testing::FolderEntries(folder.path()), std::vector<std::string>{"source"});
}

struct Collector : ByteObserver {
  void See(const char* data, std::size_t size) noexcept override { seen.append(data, size); }
  std::string seen;
};

// Checksums see every byte in order, a hole as zeros, when copied or only
// read; when a copy fails half-way they have seen what was read before it.
TEST(RangeCopier, ObserversSeeEveryByteInOrderHolesAsZeros) {
  testing::TempFolder folder;
  const std::string bytes = MakeSparseFile(folder / "source", 8 * kMiB, {{kMiB, kMiB}, {5 * kMiB, 4096}});
  const File source = File::OpenForReading(folder / "source");
  const Folder open = Folder::Open(folder.path());
  Collector first, second, reader;
  RangeCopier copier;
  {
    ReplacementFile target(open, "target", 0644);
    for (std::uint64_t offset = 0; offset < bytes.size(); offset += kPiece) {
      const std::uint64_t count = std::min<std::uint64_t>(kPiece, bytes.size() - offset);
      copier.Copy(source, offset, target.file(), offset, count, {}, {&first, &second});
    }
    target.Commit();
  }
  copier.Read(File::OpenForReading(folder / "target"), 0, bytes.size(), {}, {&reader});
  EXPECT_TRUE(first.seen == bytes);
  EXPECT_TRUE(second.seen == bytes);
  EXPECT_TRUE(reader.seen == bytes);

  testing::FaultySysCalls full;
  full.writeError = ENOSPC;
  full.writeErrorAfter = kMiB;  // the data after the hole
  ScopedSysCalls scope(full);
  Collector partial;
  ReplacementFile target(open, "full", 0644);
  testing::ExpectFileError([&] { copier.Copy(source, kMiB, target.file(), 0, 7 * kMiB, {}, {&partial}); }, ENOSPC,
                           folder / "full");
  EXPECT_GE(partial.seen.size(), kMiB);
  EXPECT_TRUE(partial.seen == bytes.substr(kMiB, partial.seen.size()));
}

}  // namespace
}  // namespace parcelo
