// A split on a real small file system that fills up: a tmpfs mounted for the test (it needs root; skipped with
// the reason otherwise), run through parcelo-cli as a user would meet it.

#include <gtest/gtest.h>
#include <sys/mount.h>

#include <cstring>

#include "support/cli_runner.h"

namespace parcelo::testing {
namespace {

struct Unmounted {  // at the end of the test, whatever happens in it
  std::string path;
  ~Unmounted() { umount2(path.c_str(), MNT_DETACH); }
};

// The parts written stay, but without an info file no join takes them for the whole file.
TEST(DiskFaults, FullDiskDuringASplitNamesThePartAndLeavesNoInfoFile) {
  TempFolder disk;
  if (mount("tmpfs", disk.path().c_str(), "tmpfs", 0, "size=320k") != 0) {
    GTEST_SKIP() << "can't mount a tmpfs here: " << std::strerror(errno);
  }
  const Unmounted unmounted{disk.path()};
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

}  // namespace
}  // namespace parcelo::testing
