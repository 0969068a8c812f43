#include "io/path_kind.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/temp_folder.h"

namespace parcelo::testing {
namespace {

namespace fs = std::filesystem;

// A part set's folder, a link to it, folders that are no part set's (no
// info file, a hidden part, an info file that is a folder), a FIFO and a
// dangling link.
struct PathKindTest : ::testing::Test {
  PathKindTest() {
    for (const char* name : {"set/Infa.inf", "set/001.DRB", "noinfo/001.drb", "hidden/Infa.inf",
                             "hidden/.001.drb", "folderinfo/Infa.inf/x", "folderinfo/001.drb"}) {
      fs::create_directories(fs::path(folder / name).parent_path());
      WriteFile(folder / name, "x");
    }
    EXPECT_EQ(mkfifo((folder / "fifo").c_str(), 0600), 0);
    fs::create_directory_symlink(folder / "set", folder / "link");
    fs::create_symlink(folder / "gone", folder / "dangling");
  }
  TempFolder folder;
};

// What lies at the path, a link followed.
TEST_F(PathKindTest, TellsWhatLiesAtAPath) {
  const std::pair<std::string, PathKind> rows[] = {
      {"set", PathKind::Folder}, {"link", PathKind::Folder},    {"set/Infa.inf", PathKind::File},
      {"fifo", PathKind::Other}, {"dangling", PathKind::Other}, {"gone", PathKind::Nothing}};
  for (const auto& [name, kind] : rows) {
    SCOPED_TRACE(name);
    EXPECT_EQ(KindOfPath(folder / name), kind);
  }
  EXPECT_EQ(KindOfPath(""), PathKind::Nothing);
}

// Whether the path is a part set's folder as the join would read it.
TEST_F(PathKindTest, TellsAPartSetsFolderThroughALink) {
  for (const std::string name : {"set", "link"}) EXPECT_TRUE(HoldsPartSet(folder / name)) << name;
  for (const std::string name :
       {"set/Infa.inf", "noinfo", "hidden", "folderinfo", "fifo", "dangling", "gone"}) {
    EXPECT_FALSE(HoldsPartSet(folder / name)) << name;
  }
  EXPECT_FALSE(HoldsPartSet(""));
}

}  // namespace
}  // namespace parcelo::testing
