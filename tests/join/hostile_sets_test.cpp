// Part sets made to hurt: entries that are not files, huge or odd info
// files, parts that can't be read. The join must stay inside its folder,
// read only regular files, use bounded memory, and leave no debris.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>

#include "io/file_error.h"
#include "join/join.h"
#include "support/expect_file_error.h"
#include "support/faulty_sys_calls.h"
#include "support/temp_folder.h"

namespace parcelo {
namespace {

using testing::FolderEntries;
using testing::ReadFile;
using testing::WriteFile;
using Strings = std::vector<std::string>;

struct HostileSetTest : ::testing::Test {
  testing::TempFolder folder;
  testing::RecordingSink boxes;

  Outcome JoinFolder() { return Join(folder.path(), ListFolder, boxes.sink()); }
};

TEST_F(HostileSetTest, PartsThatAreLinksFoldersOrDevicesAreNotRead) {
  WriteFile(folder / "Infa.inf", "out.bin\r\n");
  WriteFile(folder / "001.drb", "real part");
  ASSERT_EQ(symlink("/etc/passwd", (folder / "002.drb").c_str()), 0);
  std::filesystem::create_directory(folder / "003.drb");
  ASSERT_EQ(mkfifo((folder / "004.drb").c_str(), 0600), 0);  // reading it would hang
  const bool haveDevice = mknod((folder / "005.drb").c_str(), S_IFCHR | 0600, makedev(1, 5)) == 0;
  ASSERT_EQ(JoinFolder(), Outcome::Done);
  EXPECT_EQ(ReadFile(folder / "out.bin"), "real part");
  if (!haveDevice) GTEST_SKIP() << "no device node could be made here (not root)";
}

TEST_F(HostileSetTest, HugeInfoFileIsReadOnlyAtItsStart) {
  WriteFile(folder / "001.drb", "x");
  // A sparse 1 GiB info file: its first line is a gigabyte of NUL bytes.
  WriteFile(folder / "Infa.inf", "");
  std::filesystem::resize_file(folder / "Infa.inf", 1ull << 30);
  EXPECT_EQ(JoinFolder(), Outcome::Refused);
  // The same with a good first line and a gigabyte after it.
  WriteFile(folder / "Infa.inf", "film.avi\r\n");
  std::filesystem::resize_file(folder / "Infa.inf", 1ull << 30);
  boxes.messages.clear();
  EXPECT_EQ(JoinFolder(), Outcome::Done);
  EXPECT_EQ(ReadFile(folder / "film.avi"), "x");
}

TEST_F(HostileSetTest, OverlongNameIsRefusedBeforeAnyCopy) {
  WriteFile(folder / "001.drb", "x");
  for (const std::size_t length : {256, 5000, 100000}) {
    WriteFile(folder / "Infa.inf", std::string(length, 'a') + "\r\n");
    boxes.messages.clear();
    EXPECT_EQ(JoinFolder(), Outcome::Refused) << length;
    EXPECT_EQ(FolderEntries(folder.path()), (Strings{"001.drb", "Infa.inf"}));
  }
}

TEST_F(HostileSetTest, PartThatCanNotBeOpenedIsAnErrorNamingIt) {
  WriteFile(folder / "Infa.inf", "out.bin\r\n");
  WriteFile(folder / "001.drb", "a");
  WriteFile(folder / "002.drb", "b");
  testing::FaultySysCalls faults;
  faults.openErrorSuffix = "/002.drb";
  const auto descriptors = testing::OpenDescriptorCount();
  {
    ScopedSysCalls scope(faults);
    const auto error = testing::ExpectFileError([&] { JoinFolder(); }, EACCES, folder / "002.drb");
    EXPECT_TRUE(error && error->operation() == FileOperation::Open);
  }
  EXPECT_EQ(testing::OpenDescriptorCount(), descriptors);
  EXPECT_EQ(FolderEntries(folder.path()), (Strings{"001.drb", "002.drb", "Infa.inf"}));
}

TEST_F(HostileSetTest, InterruptedAndShortCallsStillJoinEveryByte) {
  WriteFile(folder / "Infa.inf", "out.bin\r\n");
  std::string expected;
  for (int k = 1; k <= 3; ++k) {
    const std::string bytes = testing::PatternBytes(1500000, k);
    WriteFile(folder / ("00" + std::to_string(k) + ".drb"), bytes);
    expected += bytes;
  }
  testing::FaultySysCalls faults;
  faults.interrupt = true;
  faults.maxBytesPerCall = 100003;
  {
    ScopedSysCalls scope(faults);
    ASSERT_EQ(JoinFolder(), Outcome::Done);
  }
  EXPECT_GT(faults.interruptedCalls, 20);
  EXPECT_EQ(ReadFile(folder / "out.bin"), expected);
}

}  // namespace
}  // namespace parcelo
