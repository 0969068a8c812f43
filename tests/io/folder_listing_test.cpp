#include "io/folder_listing.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "io/file_error.h"
#include "support/expect_file_error.h"
#include "support/temp_folder.h"

namespace parcelo {
namespace {

TEST(ListFolder, ListsVisibleRegularFilesSortedByName) {
  testing::TempFolder folder;
  for (const char* name : {"b.drb", "1000.drb", "Infa.inf", "100.drb", ".hidden.drb"}) {
    testing::WriteFile(folder / name, "x");
  }
  std::filesystem::create_directory(folder / "dir.drb");
  ASSERT_EQ(symlink("/etc/passwd", (folder / "link.drb").c_str()), 0);
  ASSERT_EQ(mkfifo((folder / "fifo.drb").c_str(), 0600), 0);
  EXPECT_EQ(ListFolder(folder.path()),
            (std::vector<std::string>{"100.drb", "1000.drb", "Infa.inf", "b.drb"}));
}

TEST(ListFolder, MissingFolderIsAnErrorNamingIt) {
  testing::TempFolder folder;
  testing::ExpectFileError([&] { ListFolder(folder / "missing"); }, ENOENT, folder / "missing");
}

}  // namespace
}  // namespace parcelo
