#include "io/replacement_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

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

// Each case runs with an unnamed temporary and with a named one.
struct ReplacementFileTest : ::testing::TestWithParam<bool> {
  ReplacementFileTest() { layer.unnamedError = GetParam() ? EOPNOTSUPP : 0; }
  TempFolder folder;
  FaultySysCalls layer;
  ScopedSysCalls scope{layer};
  Folder open = Folder::Open(folder.path());
};

// The old file stays until the commit; a failed close (reported before
// anything is renamed) or rename keeps it, and so does running out of
// temporary names: taken ones are skipped, up to a limit. No temporary is
// left either way. A one-letter target gets a one-letter temporary.
TEST_P(ReplacementFileTest, OldFileStaysUntilACommitThatWorked) {
  WriteFile(folder / "a", "old");
  const auto replace = [&](bool commit) {
    ReplacementFile file(open, "a", 0644);
    WriteAll(file.file(), "new bytes", 9, 0);
    EXPECT_EQ(ReadFile(folder / "a"), "old");
    if (commit) file.Commit();
  };
  replace(false);
  layer.closeError = EIO;
  ExpectFileError([&] { replace(true); }, EIO, folder / "a");
  layer.closeError = 0;
  layer.errors["RenameAt"] = EIO;
  ExpectFileError([&] { replace(true); }, EIO, folder / "a");
  layer.errors.erase("RenameAt");
  layer.takenNames = 1000;
  ExpectFileError([&] { replace(true); }, EEXIST, folder / "a");
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
  umask(previous);
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

// An unnamed temporary gets its name through /proc/self/fd, else by its
// descriptor (a privilege root has), else the run makes named ones from the
// first file on, before any data: the way is probed once, and the probe
// leaves nothing behind.
TEST(UnnamedTemporaries, LinkTheWayThatWorksChosenOncePerRun) {
  struct Row {
    std::map<std::string, int> errors;
    int throughProc, byDescriptor;  // link calls expected for two files
  };
  const Row rows[] = {{{}, 3, 0},
                      {{{"LinkUnnamed", ENOENT}}, 1, 3},
                      {{{"LinkUnnamed", ENOENT}, {"LinkUnnamedByDescriptor", ENOENT}}, 1, 1}};
  for (const auto& [errors, throughProc, byDescriptor] : rows) {
    if (byDescriptor == 3 && geteuid() != 0) continue;  // linking by descriptor needs root
    TempFolder folder;
    FaultySysCalls layer;
    layer.errors.insert(errors.begin(), errors.end());
    ScopedSysCalls scope(layer);
    const Folder open = Folder::Open(folder.path());
    {
      ReplacementFile first(open, "001.drb", 0644), second(open, "002.drb", 0644);
      EXPECT_EQ(FolderEntries(folder.path()).size(), byDescriptor == 1 ? 2u : 0u);
      WriteAll(first.file(), "1", 1, 0);
      WriteAll(second.file(), "2", 1, 0);
      first.Commit();
      second.Commit();
    }
    EXPECT_EQ(ReadFile(folder / "001.drb") + ReadFile(folder / "002.drb"), "12");
    EXPECT_EQ(FolderEntries(folder.path()), (Strings{"001.drb", "002.drb"}));
    EXPECT_EQ(std::pair(layer.calls["LinkUnnamed"], layer.calls["LinkUnnamedByDescriptor"]),
              std::pair(throughProc, byDescriptor));
  }
}

INSTANTIATE_TEST_SUITE_P(Temporaries, ReplacementFileTest, ::testing::Values(false, true),
                         [](const auto& test) { return test.param ? "Named" : "Unnamed"; });

// A file system that keeps no modes refuses every fchmod: the work goes
// on, the file left as private as its temporary, unless that is more than
// the file may have.
TEST(ReplacementFile, GoesOnWhereTheFileSystemKeepsNoModes) {
  TempFolder folder;
  const Folder open = Folder::Open(folder.path());
  for (const int error : {ENOSYS, EOPNOTSUPP, EPERM}) {
    FaultySysCalls layer;
    layer.errors["Fchmod"] = error;
    ScopedSysCalls scope(layer);
    ReplacementFile(open, "new.bin", 0644).Commit();
    EXPECT_EQ(fs::status(folder / "new.bin").permissions(), fs::perms(0600));
    ExpectFileError([&] { ReplacementFile(open, "narrow.bin", 0444).Commit(); }, error, folder / "narrow.bin");
  }
  EXPECT_EQ(FolderEntries(folder.path()), Strings{"new.bin"});
}

// Who owns a replaced part (root splits, so root may give files away). A
// file keeps its owner where no one else could have put it there: the
// folder is not open to all, or the owner owns the folder, or is the runner
// (whose group comes back). A third user's file in a sticky folder open to
// all is not replaced at all, as the kernel's protected_regular rule has it.
TEST(OtherUser, ReplacedFileKeepsItsOwnerOnlyWhereNoOneElseCouldPlantIt) {
  if (!CanActAsOtherUser()) GTEST_SKIP() << "needs root to act as a second user";
  constexpr uid_t other = kOtherUserId;
  struct Row {
    uid_t folderOwner;
    int folderMode;
    uid_t fileOwner, fileGroup;
    int error;           // the split's error, 0: it replaces the part
    uid_t owner, group;  // the new part's
  };
  const Row rows[] = {{0, 01777, other, other, kProtectedFile, other, other},
                      {other, 01777, other, other, 0, other, other},
                      {0, 0777, other, other, 0, 0, 0},
                      {0, 0755, other, other, 0, other, other},
                      {other, 0777, 0, other, 0, 0, other}};
  for (const auto& [folderOwner, folderMode, fileOwner, fileGroup, error, owner, group] : rows) {
    TempFolder folder;
    WriteFile(folder / "f", "new bytes");
    WriteFile(folder / "001.drb", "old");
    ASSERT_EQ(chown((folder / "001.drb").c_str(), fileOwner, fileGroup), 0);
    fs::permissions(folder / "001.drb", fs::perms(0666));
    ASSERT_EQ(chown(folder.path().c_str(), folderOwner, folderOwner), 0);
    fs::permissions(folder.path(), fs::perms(folderMode));
    const Report report = Split({folder / "f", "5", false, ""});
    const FileStatus status = *Folder::Open(folder.path()).Status("001.drb");
    if (error) {
      ExpectFailure(report, error, folder / "001.drb");
      EXPECT_EQ(ReadFile(folder / "001.drb"), "old");
      EXPECT_EQ(std::tuple(status.owner, status.group, status.mode), std::tuple(owner, group, 0666u));
    } else {
      EXPECT_EQ(ReadFile(folder / "001.drb"), "new b") << folderMode;
      EXPECT_EQ(std::tuple(status.owner, status.group, status.mode), std::tuple(owner, group, 0644u)) << folderMode;
    }
  }
}

// What one user's join does to another's files (root only). Root joining
// over the other user's setuid file in a folder open to all hands that user
// nothing: the output is root's, with no more rights than the first part
// has (and no setuid bit). The user can't replace a file they
// could not write in place, even in a folder open to all; a folder they may
// read but not search is an access error naming it, not "no parts".
TEST(OtherUser, ReplacedFileKeepsItsOwnerAndNoOneGainsRights) {
  if (!CanActAsOtherUser()) GTEST_SKIP() << "needs root to act as a second user";
  TempFolder folder;
  OpenToAll(folder.path());
  for (const char* name : {"Infa.inf", "001.drb", "002.drb", "out.bin", "root.bin"}) {
    WriteFile(folder / name, name);  // each file holds its name
    fs::permissions(folder / name, fs::perms(0644));
  }
  WriteFile(folder / "Infa.inf", "out.bin\r\n");
  ASSERT_EQ(chown((folder / "out.bin").c_str(), kOtherUserId, kOtherUserId), 0);
  fs::permissions(folder / "out.bin", fs::perms(06755));
  ASSERT_EQ(Join(folder.path(), ListFolder).outcome, Outcome::Done);
  const FileStatus status = *Folder::Open(folder.path()).Status("out.bin");
  EXPECT_EQ(std::tuple(status.owner, status.group, status.mode), std::tuple(0u, 0u, 0644u));
  EXPECT_EQ(ReadFile(folder / "out.bin"), "001.drb002.drb");

  WriteFile(folder / "Infa.inf", "root.bin\r\n");
  const auto joinAsOtherUser = [&](const std::string& errorPath) {
    return RunAsOtherUser([&] {
      const Report report = Join(folder.path(), ListFolder);
      return report.errorPath == errorPath ? report.errorCode : 0;
    });
  };
  EXPECT_EQ(joinAsOtherUser(folder / "root.bin"), EACCES);
  EXPECT_EQ(ReadFile(folder / "root.bin"), "root.bin");
  EXPECT_EQ(FolderEntries(folder.path()), (Strings{"001.drb", "002.drb", "Infa.inf", "out.bin", "root.bin"}));
  fs::permissions(folder.path(), fs::perms(0774));
  EXPECT_EQ(joinAsOtherUser(folder.path()), EACCES);
}

}  // namespace
}  // namespace parcelo::testing
