#include "io/folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "io/file_error.h"
#include "io/folder_listing.h"
#include "support/expect_file_error.h"
#include "support/temp_folder.h"

namespace parcelo {
namespace {

namespace fs = std::filesystem;
using Kind = FileStatus::Kind;

TEST(FolderListing, ListsEveryVisibleEntryWithWhatItIs) {
  testing::TempFolder folder;
  testing::WriteFile(folder / "b.drb", "12345");
  testing::WriteFile(folder / ".hidden.drb", "");
  fs::create_directory(folder / "a.drb");
  fs::create_symlink("/etc/passwd", folder / "c.drb");
  ASSERT_EQ(mkfifo((folder / "d.drb").c_str(), 0600), 0);
  std::vector<std::pair<std::string, Kind>> seen;
  for (const FolderEntry& entry : ListFolder(folder.path())) seen.emplace_back(entry.name, entry.status.kind);
  EXPECT_EQ(seen, (std::vector<std::pair<std::string, Kind>>{
                      {"a.drb", Kind::Folder}, {"b.drb", Kind::Regular}, {"c.drb", Kind::SymbolicLink},
                      {"d.drb", Kind::Other}}));
  EXPECT_EQ(ListFolder(folder.path())[1].status.size, 5u);
  testing::ExpectFileError([&] { ListFolder(folder / "b.drb"); }, ENOTDIR, folder / "b.drb");
}

TEST(Folder, OneLockAtATimeAndReleasedWhenClosed) {
  testing::TempFolder folder;
  {
    const Folder first = Folder::Open(folder.path());
    first.Lock();
    const Folder second = Folder::Open(folder.path());
    testing::ExpectFileError([&] { second.Lock(); }, kFolderBusy, folder.path());
  }
  Folder::Open(folder.path()).Lock();
}

TEST(Folder, ChildFolderIsNeverOpenedThroughALink) {
  testing::TempFolder folder, elsewhere;
  fs::create_directory_symlink(elsewhere.path(), folder / "link");
  const Folder open = Folder::Open(folder.path());
  testing::ExpectFileError([&] { open.OpenChild("link"); }, kSymbolicLink, folder / "link");
  open.MakeChild("made");
  EXPECT_FALSE(open.RemoveChildIfEmpty("link"));
  testing::WriteFile(folder / "made/x", "");
  EXPECT_FALSE(open.RemoveChildIfEmpty("made"));
  fs::remove(folder / "made/x");
  EXPECT_TRUE(open.RemoveChildIfEmpty("made"));
}

}  // namespace
}  // namespace parcelo
