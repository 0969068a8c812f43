// The split and the join on a real small file system that fills up or is read-only: a tmpfs mounted for the test (it
// needs root; skipped with the reason otherwise), run through parcelo-cli as a user would meet them.

#include <gtest/gtest.h>
#include <sys/mount.h>

#include <cstring>

#include "support/cli_runner.h"

namespace parcelo::testing {
namespace {

struct SmallDisk : TempFolder {
  explicit SmallDisk(const std::string& size) {
    if (mount("tmpfs", path().c_str(), "tmpfs", 0, ("size=" + size).c_str()) != 0) reason = std::strerror(errno);
  }
  ~SmallDisk() { umount2(path().c_str(), MNT_DETACH); }
  std::string reason;
};

#define SKIP_UNLESS_MOUNTED(disk) \
  if (!(disk).reason.empty()) GTEST_SKIP() << "can't mount a tmpfs here: " << (disk).reason

// The parts written stay, but without an info file no join takes them for the whole file.
TEST(DiskFaults, FullDiskDuringASplitNamesThePartAndLeavesNoInfoFile) {
  SmallDisk disk("320k");
  SKIP_UNLESS_MOUNTED(disk);
  const std::string bytes = PatternBytes(200 * 1024);
  WriteFile(disk / "film.avi", bytes);
  const auto result = RunCli({"split", disk / "film.avi", "--size", "40960"});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err, "Ошибка выполнения: Ошибка 28. Не удалось записать файл \"" + (disk / "004.drb") +
                            "\": на диске нет места.\n");
  EXPECT_EQ(FolderEntries(disk.path()), (Strings{"001.drb", "002.drb", "003.drb", "film.avi"}));
  EXPECT_EQ(RunCli({"join", disk.path()}).status, 2);
  EXPECT_EQ(ReadFile(disk / "film.avi"), bytes);
}

TEST(DiskFaults, ReadOnlyFolderIsAnErrorNamingTheFileToWrite) {
  SmallDisk disk("1m");
  SKIP_UNLESS_MOUNTED(disk);
  WriteFile(disk / "film.avi", "0123456789");
  WriteFile(disk / "Infa.inf", "set.bin\r\n");
  WriteFile(disk / "001.drb", "abc");
  ASSERT_EQ(mount(nullptr, disk.path().c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0) << std::strerror(errno);
  for (const auto& [arguments, file] : {std::pair{Strings{"split", disk / "film.avi", "--size", "5"}, disk / "001.drb"},
                                        std::pair{Strings{"join", disk.path()}, disk / "set.bin"}}) {
    const auto result = RunCli(arguments);
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("\"" + file + "\": файловая система доступна только для чтения."), std::string::npos)
        << result.err;
  }
  EXPECT_EQ(FolderEntries(disk.path()), (Strings{"001.drb", "Infa.inf", "film.avi"}));
}

}  // namespace
}  // namespace parcelo::testing
