#include "io/replacement_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "io/file_error.h"
#include "io/folder.h"
#include "io/write_all.h"
#include "join/join.h"
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
// left either way.
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

INSTANTIATE_TEST_SUITE_P(Temporaries, ReplacementFileTest, ::testing::Values(false, true),
                         [](const auto& test) { return test.param ? "Named" : "Unnamed"; });

// What one user's join does to another's files (root only). Root joining in
// the other user's folder hands that user no root-owned setuid file; the
// user can't replace a file they could not write in place, even in a folder
// open to all; a folder they may read but not search is an access error
// naming it, not "no parts".
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
  ASSERT_EQ(Join(folder.path()).outcome, Outcome::Done);
  const FileStatus status = *Folder::Open(folder.path()).Status("out.bin");
  EXPECT_EQ(std::tuple(status.owner, status.group, status.mode), std::tuple(kOtherUserId, kOtherUserId, 0755u));
  EXPECT_EQ(ReadFile(folder / "out.bin"), "001.drb002.drb");

  WriteFile(folder / "Infa.inf", "root.bin\r\n");
  const auto joinAsOtherUser = [&](const std::string& errorPath) {
    return RunAsOtherUser([&] {
      const Report report = Join(folder.path());
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
