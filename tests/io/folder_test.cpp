#include "io/folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <csignal>

#include "io/folder_listing.h"
#include "io/replacement_file.h"
#include "support/expect_file_error.h"
#include "support/faulty_sys_calls.h"
#include "support/other_user.h"
#include "support/temp_folder.h"

namespace parcelo::testing {
namespace {

namespace fs = std::filesystem;
using Kind = FileStatus::Kind;
using Listing = std::vector<std::pair<std::string, Kind>>;

// A folder with a child folder that holds a file, a file of five bytes, a
// hidden file, a link to a folder elsewhere and a FIFO.
struct FolderTest : ::testing::Test {
  FolderTest() {
    open.MakeChild("a");
    WriteFile(folder / "a/x", "");
    WriteFile(folder / "b", "12345");
    WriteFile(folder / ".hidden", "");
    fs::create_directory_symlink(elsewhere.path(), folder / "c");
    EXPECT_EQ(mkfifo((folder / "d").c_str(), 0600), 0);
  }
  TempFolder folder, elsewhere;
  const Folder open = Folder::Open(folder.path());
};

TEST_F(FolderTest, ListsEveryVisibleEntryWithWhatItIs) {
  const Listing expected = {{"a", Kind::Folder}, {"b", Kind::Regular}, {"c", Kind::SymbolicLink}, {"d", Kind::Other}};
  Listing seen;
  for (const FolderEntry& entry : ListFolder(open)) seen.emplace_back(entry.name, entry.status.kind);
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(ListFolder(open)[1].status.size, 5u);
}

// A child folder that holds anything stays, and so does a link in a folder's
// place (a link as the new folder and the folder lock: SplitTest).
TEST_F(FolderTest, RemovesOnlyEmptyChildFolders) {
  EXPECT_FALSE(open.RemoveChildIfEmpty("c") || open.RemoveChildIfEmpty("a"));
  fs::remove(folder / "a/x");
  EXPECT_TRUE(open.RemoveChildIfEmpty("a"));
  EXPECT_EQ(FolderEntries(folder.path()), (Strings{".hidden", "b", "c", "d"}));
}

// An open folder is listed as itself, whatever now lies at its path.
TEST_F(FolderTest, AnOpenFolderIsListedAsItselfAfterItMoved) {
  fs::rename(folder.path(), elsewhere / "moved");
  fs::create_directory(folder.path());
  EXPECT_EQ(ListFolder(open).size(), 4u);
  EXPECT_TRUE(ListFolder(Folder::Open(folder.path())).empty());
}

// Every call of the file layer that can fail surfaces as one error naming
// the file or folder it concerns.
TEST_F(FolderTest, EachFailingCallIsAnErrorNamingItsFile) {
  // The call that fails, the work it fails (a folder's names: ListFolder), the path named.
  const std::vector<std::tuple<std::string, std::function<void()>, std::string>> rows = {
      {"EntryStatus", [&] { open.Status("b"); }, folder / "b"},
      {"ReadNames", [&] { ListFolder(open); }, folder.path()},
      {"MakeFolder", [&] { open.MakeChild("new"); }, folder / "new"},
      {"RemoveFile", [&] { open.Remove("b"); }, folder / "b"},
      {"Status", [&] { File::OpenForReading(folder / "b"); }, folder / "b"},
      {"SetMode", [&] { ReplacementFile(open, "b", 0644).Commit(); }, folder / "b"}};
  for (const auto& [call, work, path] : rows) {
    SCOPED_TRACE(call);
    FaultySysCalls layer;
    layer.errors[call] = EIO;
    ScopedSysCalls scope(layer);
    ExpectFileError(work, EIO, path);
  }
  EXPECT_EQ(FolderEntries(folder.path()), (Strings{".hidden", "a", "b", "c", "d"}));
  EXPECT_EQ(ReadFile(folder / "b"), "12345");
}

// A folder's lock lasts as long as the folder: locking it again keeps it, and it goes with the
// folder, also when another takes the folder's place.
TEST_F(FolderTest, LockLastsAsLongAsTheFolder) {
  Folder holder = Folder::Open(folder.path());
  holder.Lock();
  holder.Lock();
  ExpectFileError([&] { open.Lock(); }, kFolderBusy, folder.path());
  holder = Folder::Open(folder.path());
  open.Lock();
  ExpectFileError([&] { holder.Lock(); }, kFolderBusy, folder.path());
}

// A busy folder tells another Parcelo operation of the runner's (a process
// named parcelo...: here flock(1) under that name, which holds the lock
// itself) from another program, another user, and a holder the system does
// not name (no /proc). A lock of this process is ours too (SplitTest).
TEST_F(FolderTest, BusyFolderTellsParceloFromOtherPrograms) {
  TempFolder bin;
  for (const TempFolder* each : {&folder, &bin}) fs::permissions(each->path(), fs::perms(0777));
  const std::string parcelo = bin / "parcelo-lock";
  fs::copy_file("/usr/bin/flock", parcelo);
  // The case, the holder, whether the system names it, the error.
  const std::tuple<std::string, std::string, bool, int> rows[] = {
      {"another program", "flock", true, kFolderBusyOther},
      {"Parcelo of the runner's", parcelo, true, kFolderBusy},
      {"a holder not named", parcelo, false, kFolderBusyOther},
      {"another user's Parcelo", "setpriv --reuid=40000 --regid=40000 --clear-groups " + parcelo, true,
       kFolderBusyOther}};
  for (const auto& [name, holder, named, code] : rows) {
    SCOPED_TRACE(name);
    if (holder.starts_with("setpriv") && !CanActAsOtherUser()) continue;
    FaultySysCalls layer;
    if (!named) layer.errors["FindLockHolder"] = ENOENT;
    ScopedSysCalls scope(layer);
    FILE* held = popen(("exec " + holder + " " + folder.path() + " sh -c 'echo $$; exec sleep 30'").c_str(), "r");
    int sleeper = 0;
    ASSERT_EQ(fscanf(held, "%d", &sleeper), 1);
    ExpectFileError([&] { open.Lock(); }, code, folder.path());
    kill(sleeper, SIGTERM);
    pclose(held);
  }
}

}  // namespace
}  // namespace parcelo::testing
