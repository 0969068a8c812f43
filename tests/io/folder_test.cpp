#include "io/folder.h"

#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <sys/stat.h>

#include <csignal>
#include <cstdio>

#include <filesystem>

#include "io/file.h"
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

// A folder is listed with every visible entry and what it is. A child
// folder that holds anything stays, and so does a link in a folder's place
// (a link as the new folder and the folder lock: SplitTest).
TEST(Folder, ListsVisibleEntriesAndRemovesOnlyEmptyChildFolders) {
  TempFolder folder, elsewhere;
  const Folder open = Folder::Open(folder.path());
  open.MakeChild("a");
  WriteFile(folder / "a/x", "");
  WriteFile(folder / "b", "12345");
  WriteFile(folder / ".hidden", "");
  fs::create_directory_symlink(elsewhere.path(), folder / "c");
  ASSERT_EQ(mkfifo((folder / "d").c_str(), 0600), 0);
  EXPECT_FALSE(open.RemoveChildIfEmpty("c") || open.RemoveChildIfEmpty("a"));
  Listing seen;
  for (const FolderEntry& entry : ListFolder(folder.path())) seen.emplace_back(entry.name, entry.status.kind);
  EXPECT_EQ(seen, (Listing{{"a", Kind::Folder}, {"b", Kind::Regular}, {"c", Kind::SymbolicLink}, {"d", Kind::Other}}));
  EXPECT_EQ(ListFolder(folder.path())[1].status.size, 5u);
  ExpectFileError([&] { ListFolder(folder / "b"); }, ENOTDIR, folder / "b");
  fs::remove(folder / "a/x");
  EXPECT_TRUE(open.RemoveChildIfEmpty("a"));
}

// Every call of the file layer that can fail surfaces as one error naming
// the file or folder it concerns.
TEST(FileLayer, EachFailingCallIsAnErrorNamingItsFile) {
  TempFolder folder;
  WriteFile(folder / "file", "x");
  const Folder open = Folder::Open(folder.path());
  const std::vector<std::tuple<std::string, std::function<void()>, std::string>> rows = {
      {"LstatAt", [&] { open.Status("file"); }, folder / "file"},
      {"ReadNames", [&] { open.Names(); }, folder.path()},
      {"ReadNames", [&] { ListFolder(folder.path()); }, folder.path()},
      {"MkdirAt", [&] { open.MakeChild("new"); }, folder / "new"},
      {"UnlinkAt", [&] { open.Remove("file"); }, folder / "file"},
      {"SetFlags", [&] { File::OpenForReading(folder / "file"); }, folder / "file"},
      {"Fchmod", [&] { ReplacementFile(open, "file", 0644).Commit(); }, folder / "file"}};
  for (const auto& [call, work, path] : rows) {
    FaultySysCalls layer;
    layer.errors[call] = EIO;
    ScopedSysCalls scope(layer);
    ExpectFileError(work, EIO, path);
  }
  EXPECT_EQ(FolderEntries(folder.path()), Strings{"file"});
  EXPECT_EQ(ReadFile(folder / "file"), "x");
}

// A process that holds a folder's lock until it is let go: forked with a
// name, as another user if asked, or flock(1) itself.
struct LockingProcess {
  LockingProcess(const std::string& folder, const char* name, bool otherUser) {
    EXPECT_EQ(pipe(ready), 0);
    EXPECT_EQ(pipe(release), 0);
    child = fork();
    if (child == 0) {
      prctl(PR_SET_NAME, name);
      if (otherUser && (setgroups(0, nullptr) != 0 || setresgid(kOtherUserId, kOtherUserId, kOtherUserId) != 0 ||
                        setresuid(kOtherUserId, kOtherUserId, kOtherUserId) != 0)) {
        _exit(1);
      }
      close(ready[0]);
      close(release[1]);
      const Folder held = Folder::Open(folder);
      held.Lock();
      char byte = 0;
      if (write(ready[1], "x", 1) != 1 || read(release[0], &byte, 1) < 0) _exit(1);
      _exit(0);
    }
    close(ready[1]);
    close(release[0]);
    char byte = 0;
    EXPECT_EQ(read(ready[0], &byte, 1), 1);
  }
  ~LockingProcess() {
    close(release[1]);
    waitpid(child, nullptr, 0);
    close(ready[0]);
  }
  int ready[2], release[2];
  pid_t child;
};

// A busy folder tells another Parcelo operation of the runner's (this
// process, or parcelo-cli) from another program or another user, and from a
// holder the system does not name (no /proc).
TEST(Folder, BusyFolderTellsParceloFromOtherPrograms) {
  TempFolder folder;
  OpenToAll(folder.path());
  const Folder open = Folder::Open(folder.path());
  const auto expectBusy = [&](int code, const char* why) {
    SCOPED_TRACE(why);
    ExpectFileError([&] { open.Lock(); }, code, folder.path());
  };
  {
    const Folder held = Folder::Open(folder.path());
    held.Lock();
    expectBusy(kFolderBusy, "this process");
    FaultySysCalls layer;
    layer.errors["FlockHolder"] = ENOENT;
    ScopedSysCalls scope(layer);
    expectBusy(kFolderBusyOther, "no one named");
  }
  for (const auto& [name, otherUser, code] : {std::tuple{"parcelo-cli", false, kFolderBusy},
                                              {"rsync", false, kFolderBusyOther},
                                              {"parcelo-cli", true, kFolderBusyOther}}) {
    if (otherUser && !CanActAsOtherUser()) continue;
    const LockingProcess holder(folder.path(), name, otherUser);
    expectBusy(code, name);
  }
  FILE* flock = popen(("exec flock " + folder.path() + " sh -c 'echo $$; exec sleep 30'").c_str(), "r");
  ASSERT_TRUE(flock);
  int sleeper = 0;
  ASSERT_EQ(fscanf(flock, "%d", &sleeper), 1);
  expectBusy(kFolderBusyOther, "flock(1)");
  kill(sleeper, SIGTERM);
  pclose(flock);
  open.Lock();
}

}  // namespace
}  // namespace parcelo::testing
