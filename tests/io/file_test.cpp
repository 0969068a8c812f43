#include "io/file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "io/file_error.h"
#include "io/folder.h"
#include "support/expect_file_error.h"
#include "support/faulty_sys_calls.h"
#include "support/temp_folder.h"

namespace parcelo::testing {
namespace {

namespace fs = std::filesystem;

// What is not a regular file is refused at once: a FIFO would block a read.
// A failed close is reported once and never retried.
TEST(File, OpensRegularFilesOnlyAndEntriesNeverThroughALinkAndClosesOnce) {
  TempFolder folder;
  WriteFile(folder / "file", "0123456789");
  fs::create_symlink(folder / "file", folder / "link");
  fs::create_directory(folder / "folder");
  ASSERT_EQ(mkfifo((folder / "fifo").c_str(), 0600), 0);
  EXPECT_EQ(File::OpenForReading(folder / "link").ReadStart(4), "0123");  // the user named it
  ExpectFileError([&] { File::OpenForReading(folder / "fifo"); }, kNotRegularFile, folder / "fifo");
  ExpectFileError([&] { File::OpenForReading(folder / "folder"); }, EISDIR, folder / "folder");
  const Folder open = Folder::Open(folder.path());
  EXPECT_EQ(File::OpenEntry(open, "file").ReadStart(100), "0123456789");
  ExpectFileError([&] { File::OpenEntry(open, "link"); }, kSymbolicLink, folder / "link");
  ExpectFileError([&] { File::OpenEntry(open, "fifo"); }, kNotRegularFile, folder / "fifo");
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
TEST(File, SameContentComparesEveryByte) {
  TempFolder folder;
  const std::string bytes = PatternBytes(700001);
  FaultySysCalls layer;
  layer.interrupt = true, layer.maxBytesPerCall = 4099;
  ScopedSysCalls scope(layer);
  WriteFile(folder / "one", bytes);
  for (const std::string& other : {bytes, bytes.substr(0, 700000) + static_cast<char>(bytes.back() ^ 1)}) {
    WriteFile(folder / "other", other);
    EXPECT_EQ(SameContent(File::OpenForReading(folder / "one"), File::OpenForReading(folder / "other")),
              other == bytes);
  }
}

}  // namespace
}  // namespace parcelo::testing
