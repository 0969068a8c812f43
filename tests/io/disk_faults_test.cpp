// The split and the join on a real small file system that fills up or is
// read-only (a tmpfs mounted for the test; it needs root, and is skipped
// with the reason where mounting is not allowed). Run through parcelo-cli,
// as a user would meet them.

#include <gtest/gtest.h>
#include <sys/mount.h>

#include <cerrno>
#include <cstring>

#include "support/cli_runner.h"

namespace parcelo {
namespace {

using testing::FolderEntries;
using testing::ReadFile;
using testing::WriteFile;
using Strings = std::vector<std::string>;

// A tmpfs of a given size on a fresh folder, unmounted when done.
class SmallDisk {
 public:
  explicit SmallDisk(const std::string& size) {
    const std::string options = "size=" + size + ",mode=0755";
    if (mount("tmpfs", folder_.path().c_str(), "tmpfs", 0, options.c_str()) == 0) {
      mounted_ = true;
    } else {
      reason_ = std::string("can't mount a tmpfs here: ") + std::strerror(errno);
    }
  }
  ~SmallDisk() {
    if (mounted_) umount2(folder_.path().c_str(), MNT_DETACH);
  }
  bool mounted() const { return mounted_; }
  const std::string& reason() const { return reason_; }
  std::string operator/(const std::string& name) const { return folder_ / name; }
  const std::string& path() const { return folder_.path(); }
  bool MakeReadOnly() {
    return mount(nullptr, folder_.path().c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
  }

 private:
  testing::TempFolder folder_;
  bool mounted_ = false;
  std::string reason_;
};

#define SKIP_UNLESS_MOUNTED(disk) \
  if (!(disk).mounted()) GTEST_SKIP() << (disk).reason()

struct DiskFaultsTest : ::testing::Test {
  testing::TempFolder scratch;
};

TEST_F(DiskFaultsTest, SplitOnAFullDiskNamesThePartAndKeepsWhatWasWritten) {
  SmallDisk disk("320k");
  SKIP_UNLESS_MOUNTED(disk);
  const std::string bytes = testing::PatternBytes(200 * 1024);
  WriteFile(disk / "film.avi", bytes);
  const auto result = testing::RunCli({"split", disk / "film.avi", "--size", "40960"}, scratch);
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.out, "");
  EXPECT_NE(result.err.find("Ошибка 28."), std::string::npos) << result.err;
  EXPECT_NE(result.err.find("на диске нет места"), std::string::npos) << result.err;
  EXPECT_NE(result.err.find(disk / "003.drb"), std::string::npos) << result.err;
  EXPECT_EQ(ReadFile(disk / "film.avi"), bytes);
  EXPECT_EQ(FolderEntries(disk.path()), (Strings{"001.drb", "002.drb", "Infa.inf", "film.avi"}));
  EXPECT_EQ(ReadFile(disk / "001.drb"), bytes.substr(0, 40960));
  EXPECT_EQ(ReadFile(disk / "002.drb"), bytes.substr(40960, 40960));
}

TEST_F(DiskFaultsTest, JoinOnAFullDiskKeepsTheOldOutputAndNoTemporary) {
  SmallDisk disk("320k");
  SKIP_UNLESS_MOUNTED(disk);
  WriteFile(disk / "Infa.inf", "out.bin\r\n");
  WriteFile(disk / "001.drb", testing::PatternBytes(80 * 1024, 1));
  WriteFile(disk / "002.drb", testing::PatternBytes(80 * 1024, 2));
  WriteFile(disk / "out.bin", "the previous output");
  const auto result = testing::RunCli({"join", disk.path()}, scratch);
  EXPECT_EQ(result.status, 2);
  EXPECT_NE(result.err.find("на диске нет места"), std::string::npos) << result.err;
  EXPECT_NE(result.err.find(disk / "out.bin"), std::string::npos) << result.err;
  EXPECT_EQ(ReadFile(disk / "out.bin"), "the previous output");
  EXPECT_EQ(FolderEntries(disk.path()), (Strings{"001.drb", "002.drb", "Infa.inf", "out.bin"}));
}

TEST_F(DiskFaultsTest, ReadOnlyFolderIsAnErrorNamingTheFileToWrite) {
  SmallDisk disk("1m");
  SKIP_UNLESS_MOUNTED(disk);
  WriteFile(disk / "film.avi", "0123456789");
  WriteFile(disk / "Infa.inf", "set.bin\r\n");
  WriteFile(disk / "001.drb", "abc");
  ASSERT_TRUE(disk.MakeReadOnly()) << std::strerror(errno);

  auto result = testing::RunCli({"split", disk / "film.avi", "--size", "5"}, scratch);
  EXPECT_EQ(result.status, 2);
  EXPECT_NE(result.err.find(disk / "Infa.inf"), std::string::npos) << result.err;
  EXPECT_NE(result.err.find("только для чтения"), std::string::npos) << result.err;

  result = testing::RunCli({"join", disk.path()}, scratch);
  EXPECT_EQ(result.status, 2);
  EXPECT_NE(result.err.find(disk / "set.bin"), std::string::npos) << result.err;
  EXPECT_EQ(FolderEntries(disk.path()), (Strings{"001.drb", "Infa.inf", "film.avi"}));
}

}  // namespace
}  // namespace parcelo
