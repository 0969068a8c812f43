#include "io/path_kind.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/temp_folder.h"

namespace parcelo::testing {
namespace {

namespace fs = std::filesystem;

// Each row: what lies at the path (a link followed), and whether it is a
// part set's folder as the join would read it.
TEST(PathKind, TellsFilesFoldersAndPartSetFoldersThroughLinks) {
  TempFolder folder;
  for (const char* name : {"set/Infa.inf", "set/001.DRB", "noinfo/001.drb", "hidden/Infa.inf", "hidden/.001.drb",
                           "folderinfo/Infa.inf/x", "folderinfo/001.drb"}) {
    fs::create_directories(fs::path(folder / name).parent_path());
    WriteFile(folder / name, "x");
  }
  ASSERT_EQ(mkfifo((folder / "fifo").c_str(), 0600), 0);
  fs::create_directory_symlink(folder / "set", folder / "link");
  fs::create_symlink(folder / "gone", folder / "dangling");
  const std::tuple<std::string, PathKind, bool> rows[] = {
      {folder / "set", PathKind::Folder, true},         {folder / "link", PathKind::Folder, true},
      {folder / "set/Infa.inf", PathKind::File, false}, {folder / "noinfo", PathKind::Folder, false},
      {folder / "hidden", PathKind::Folder, false},     {folder / "folderinfo", PathKind::Folder, false},
      {folder / "fifo", PathKind::Other, false},        {folder / "dangling", PathKind::Other, false},
      {folder / "gone", PathKind::Nothing, false},      {"", PathKind::Nothing, false}};
  for (const auto& [path, kind, set] : rows) {
    EXPECT_EQ(KindOfPath(path), kind) << path;
    EXPECT_EQ(HoldsPartSet(path), set) << path;
  }
}

}  // namespace
}  // namespace parcelo::testing
