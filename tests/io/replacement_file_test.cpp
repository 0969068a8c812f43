#include "io/replacement_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>

#include "io/file_error.h"
#include "io/folder.h"
#include "io/write_all.h"
#include "join/join.h"
#include "split/split.h"
#include "support/expect_file_error.h"
#include "support/faulty_sys_calls.h"
#include "support/other_user.h"
#include "support/temp_folder.h"

namespace parcelo::testing {
namespace {

namespace fs = std::filesystem;

// Each case runs with each kind of temporary: an unnamed one linked through
// /proc/self/fd or (root) by its descriptor, and a named one, where neither
// way of linking works or the file system has no unnamed files.
struct ReplacementFileTest : ::testing::TestWithParam<int> {
  ReplacementFileTest() {
    if (GetParam() >= 1) layer.errors["LinkUnnamed"] = ENOENT;
    if (GetParam() >= 2) layer.errors["LinkUnnamedByHandle"] = ENOENT;
    if (GetParam() == 3) layer.unnamedError = EOPNOTSUPP;
  }
  TempFolder folder;
  FaultySysCalls layer;
  ScopedSysCalls scope{layer};
  Folder open = Folder::Open(folder.path());
};

// The old file stays until the commit; a failed close (reported before
// anything is renamed) or rename keeps it, and so does running out of
// temporary names: taken ones are skipped, up to a limit, by the probe of
// how to link too. No temporary is left either way.
TEST_P(ReplacementFileTest, OldFileStaysUntilACommitThatWorked) {
  WriteFile(folder / "a", "old");
  const auto replace = [&](bool commit) {
    ReplacementFile file(open, "a", 0644);
    WriteAll(file.file(), "new bytes", 9, 0);
    EXPECT_EQ(ReadFile(folder / "a"), "old");
    if (commit) file.Commit();
  };
  layer.takenNames = 5;  // met by the probe of how to link, where there is one
  replace(false);
  for (const int fault : {0, 1, 2}) {  // the close, the rename, the names
    layer.closeError = fault == 0 ? EIO : 0, layer.takenNames = fault == 2 ? 1000 : 0;
    if (fault == 1) layer.errors["Rename"] = EIO;
    ExpectFileError([&] { replace(true); }, fault == 2 ? EEXIST : EIO, folder / "a");
    layer.errors.erase("Rename");
  }
  layer.takenNames = 5;
  replace(true);
  EXPECT_EQ(ReadFile(folder / "a"), "new bytes");
  EXPECT_EQ(FolderEntries(folder.path()), Strings{"a"});
}

TEST_P(ReplacementFileTest, NewFileGetsItsModeAndAReplacedOneNoMoreThanItHad) {
  const mode_t previous = umask(022);
  WriteFile(folder / "setuid.bin", "old");
  fs::permissions(folder / "setuid.bin", fs::perms(06775));
  for (const auto& [name, mode] : {std::pair{"new.bin", 0644}, {"setuid.bin", 0755}}) {
    ReplacementFile file(open, name, 0666, 0755);
    EXPECT_EQ(file.file().Status().mode, 0600u) << "private until committed";
    file.Commit();
    EXPECT_EQ(fs::status(folder / name).permissions(), fs::perms(mode)) << name;
  }
  // A file system that keeps no modes fails every fchmod: the work goes on,
  // the file left at its temporary's 0600, unless that is more than it may have.
  layer.errors["SetMode"] = ENOSYS;
  ReplacementFile(open, "new.bin", 0644).Commit();
  EXPECT_EQ(fs::status(folder / "new.bin").permissions(), fs::perms(0600));
  ExpectFileError([&] { ReplacementFile(open, "narrow.bin", 0444).Commit(); }, ENOSYS, folder / "narrow.bin");
  umask(previous);
  // The way of linking is probed once, at the first temporary, with one link each way tried.
  const std::pair<int, int> links[] = {{4, 0}, {1, 4}, {1, 1}, {0, 0}};
  EXPECT_EQ(std::pair(layer.calls["LinkUnnamed"], layer.calls["LinkUnnamedByHandle"]),
            links[GetParam() == 1 && geteuid() != 0 ? 2 : GetParam()]);
}

TEST_P(ReplacementFileTest, RefusesEntriesThatAreNoPlainFile) {
  TempFolder elsewhere;
  WriteFile(elsewhere / "target", "not to be touched");
  fs::create_symlink(elsewhere / "target", folder / "link");
  fs::create_directory(folder / "folder");
  ASSERT_EQ(mkfifo((folder / "fifo").c_str(), 0600), 0);
  const std::pair<std::string, int> rows[] = {{"link", kSymbolicLink}, {"folder", EISDIR}, {"fifo", kNotRegularFile}};
  for (const auto& [name, code] : rows) {
    ExpectFileError([&] { CheckReplaceable(open, name); }, code, folder / name);
    ExpectFileError([&] { ReplacementFile(open, name, 0644).Commit(); }, code, folder / name);
  }
  EXPECT_EQ(ReadFile(elsewhere / "target"), "not to be touched");
  EXPECT_EQ(FolderEntries(folder.path()), (Strings{"fifo", "folder", "link"}));
}

constexpr const char* kTemporaries[] = {"ThroughProc", "ByHandle", "NamedWithoutLinks", "Named"};
INSTANTIATE_TEST_SUITE_P(Temporaries, ReplacementFileTest, ::testing::Values(0, 1, 2, 3),
                         [](const auto& row) { return std::string(kTemporaries[row.param]); });

// Root joins over out.bin (a setuid file, 06666). It keeps its owner and
// group where no one else could have planted it: the folder is not open to
// all, or the owner owns the folder, or is the runner (whose group comes
// back); and only for the owner of the parts, whose bytes it gets;
// otherwise it becomes theirs, and a third user's file in a sticky
// folder open to all is not replaced at all (protected_regular). Either way
// it has no more rights than the first part, and no setuid bit.
TEST(OtherUser, ReplacedFileKeepsItsOwnerOnlyWhereNoOneElseCouldPlantIt) {
  if (!CanActAsOtherUser()) GTEST_SKIP() << "needs root to act as a second user";
  constexpr std::uint32_t other = kOtherUserId;
  // The folder's owner and mode, the file's owner and group, the part's owner, the join's error, the owner and
  // group after.
  const std::array<std::uint32_t, 8> rows[] = {{0, 01777, other, other, other, kProtectedFile, other, other},
                                               {other, 01777, other, other, other, 0, other, other},
                                               {0, 0777, other, other, other, 0, other, 0},
                                               {0, 0755, other, other, other, 0, other, other},
                                               {other, 0755, other, other, 0, 0, 0, 0},
                                               {other, 0777, 0, other, 0, 0, 0, other}};
  for (const auto& [folderOwner, folderMode, owner, group, partOwner, error, newOwner, newGroup] : rows) {
    TempFolder folder;
    // The set, out.bin, and another user's temporary, not the join's to remove.
    const std::tuple<const char*, const char*, std::uint32_t, std::uint32_t> files[] = {
        {"Infa.inf", "out.bin\r\n", partOwner, 0},
        {"001.drb", "new", partOwner, 0},
        {"out.bin", "old", owner, group},
        {".parcelo-0ther9zz", "theirs", other, other}};
    for (const auto& [name, bytes, fileOwner, fileGroup] : files) {
      WriteFile(folder / name, bytes);
      ASSERT_EQ(chown((folder / name).c_str(), fileOwner, fileGroup), 0);
    }
    ASSERT_EQ(chown(folder.path().c_str(), folderOwner, 0), 0);
    fs::permissions(folder / "out.bin", fs::perms(06666));
    // Older than the part: no edit of the user's to ask about.
    fs::last_write_time(folder / "out.bin", fs::last_write_time(folder / "001.drb") - std::chrono::hours(1));
    fs::permissions(folder.path(), fs::perms(folderMode));
    const Report report = Join(folder.path());
    const FileStatus status = *Folder::Open(folder.path()).Status("out.bin");
    EXPECT_EQ(std::tuple(report.errorCode, report.errorPath, ReadFile(folder / "out.bin"), status.owner, status.group,
                         status.mode),
              std::tuple(error, error ? folder / "out.bin" : "", error ? "old" : "new", newOwner, newGroup,
                         error ? 06666u : 0644u))
        << std::oct << folderMode;
    EXPECT_TRUE(fs::exists(folder / ".parcelo-0ther9zz"));
  }
}

// Root's work on a user's files stays the user's: a split of their file, its info file too, and a
// join of their parts. Of parts of several users the output is the runner's, as private as the most
// private part; of parts in several groups, no group's.
TEST(OtherUser, WorkOnAUsersFilesIsTheirs) {
  if (!CanActAsOtherUser()) GTEST_SKIP() << "needs root to act as a second user";
  TempFolder folder;
  WriteFile(folder / "f", "0123456789");
  ASSERT_EQ(chown((folder / "f").c_str(), kOtherUserId, kOtherUserId), 0);
  const auto status = [&](const char* name) { return *Folder::Open(folder.path()).Status(name); };
  ASSERT_EQ(Split({folder / "f", "4", false, ""}).outcome, Outcome::Done);
  ASSERT_EQ(Split({folder / "f", "4", true, "sub"}).outcome, Outcome::Done);
  for (const char* name : {"001.drb", "003.drb", "Infa.inf", "sub"})
    EXPECT_EQ(status(name).owner, kOtherUserId) << name;
  for (const std::uint32_t partOwner : {kOtherUserId, 0u}) {  // 002.drb the user's in root's group, then root's
    fs::remove(folder / "f");
    ASSERT_EQ(chown((folder / "002.drb").c_str(), partOwner, 0), 0);
    fs::permissions(folder / "002.drb", fs::perms(partOwner ? 0644 : 0600));
    ASSERT_EQ(Join(folder.path()).outcome, Outcome::Done);
    EXPECT_EQ(std::pair(status("f").owner, status("f").mode), std::pair(partOwner, partOwner ? 0604u : 0600u));
  }
  // In a setgid folder of another group, a new file keeps its bytes' group.
  fs::permissions(folder.path(), fs::perms(02755));
  ReplacementFile(Folder::Open(folder.path()), "g", 0640, 0640, ReplacementFile::Origin{0, kOtherUserId}).Commit();
  EXPECT_EQ(status("g").group, kOtherUserId);
}

// What one user's join does to another's files (root only): the user can't
// replace a file they could not write in place, even in a folder open to
// all; a folder they may read but not search is an access error naming it,
// not "no parts".
TEST(OtherUser, NoOneGainsRights) {
  if (!CanActAsOtherUser()) GTEST_SKIP() << "needs root to act as a second user";
  TempFolder folder;
  fs::permissions(folder.path(), fs::perms(0777));  // open to all
  for (const char* name : {"Infa.inf", "001.drb", "002.drb", "root.bin"}) {
    WriteFile(folder / name, name);  // each file holds its name
    fs::permissions(folder / name, fs::perms(0644));
  }
  WriteFile(folder / "Infa.inf", "root.bin\r\n");
  const auto joinAsOtherUser = [&](const std::string& errorPath) {
    return RunAsOtherUser([&] {
      const Report report = Join(folder.path());
      return report.errorPath == errorPath ? report.errorCode : 0;
    });
  };
  EXPECT_EQ(joinAsOtherUser(folder / "root.bin"), EACCES);
  EXPECT_EQ(ReadFile(folder / "root.bin"), "root.bin");
  EXPECT_EQ(FolderEntries(folder.path()), (Strings{"001.drb", "002.drb", "Infa.inf", "root.bin"}));
  fs::permissions(folder.path(), fs::perms(0774));
  EXPECT_EQ(joinAsOtherUser(folder.path()), EACCES);
}

}  // namespace
}  // namespace parcelo::testing
