#include "io/file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "io/folder.h"
#include "support/expect_file_error.h"
#include "support/faulty_sys_calls.h"
#include "support/temp_folder.h"

namespace parcelo::testing {
namespace {

namespace fs = std::filesystem;

// A folder with a file, a link to it, a folder and a FIFO.
struct FileTest : ::testing::Test {
  FileTest() {
    WriteFile(folder / "file", "0123456789");
    fs::create_symlink(folder / "file", folder / "link");
    fs::create_directory(folder / "folder");
    EXPECT_EQ(mkfifo((folder / "fifo").c_str(), 0600), 0);
  }
  TempFolder folder;
  const Folder open = Folder::Open(folder.path());
};

// What is not a regular file is refused at once: a FIFO would block a read.
TEST_F(FileTest, OpensRegularFilesOnly) {
  ExpectFileError([&] { File::OpenForReading(folder / "fifo"); }, kNotRegularFile, folder / "fifo");
  ExpectFileError([&] { File::OpenForReading(folder / "folder"); }, EISDIR, folder / "folder");
  ExpectFileError([&] { File::OpenEntry(open, "fifo"); }, kNotRegularFile, folder / "fifo");
}

TEST_F(FileTest, OpensAnEntryNeverThroughALink) {
  EXPECT_EQ(File::OpenEntry(open, "file").ReadStart(100), "0123456789");
  ExpectFileError([&] { File::OpenEntry(open, "link"); }, kSymbolicLink, folder / "link");
}

TEST_F(FileTest, OpensAPathTheUserNamedThroughALink) {
  EXPECT_EQ(File::OpenForReading(folder / "link").ReadStart(4), "0123");
}

TEST_F(FileTest, AFailedCloseIsReportedOnceAndNeverRetried) {
  FaultySysCalls layer;
  layer.closeError = EIO;
  ScopedSysCalls scope(layer);
  File file = File::OpenForReading(folder / "file");
  std::size_t wrote = 0;
  layer.WriteAt(file.handle(), "y", 1, 1, &wrote);  // counts as written: its close fails
  ExpectFileError([&] { file.Close(); }, EIO, folder / "file");
  file.Close();
  EXPECT_EQ(layer.calls["Close"], 1);
}

// Files of several chunks are compared to their last byte, through short and interrupted reads.
TEST_F(FileTest, SameContentComparesEveryByte) {
  const std::string bytes = PatternBytes(700001);
  FaultySysCalls layer;
  layer.interrupt = true, layer.maxBytesPerCall = 4099;
  ScopedSysCalls scope(layer);
  WriteFile(folder / "one", bytes);
  for (const bool same : {true, false}) {
    SCOPED_TRACE(same ? "same bytes" : "last byte differs");
    WriteFile(folder / "other", bytes.substr(0, 700000) + static_cast<char>(bytes.back() ^ !same));
    EXPECT_EQ(
        SameContent(File::OpenForReading(folder / "one"), File::OpenForReading(folder / "other")),
        same);
  }
}

}  // namespace
}  // namespace parcelo::testing
