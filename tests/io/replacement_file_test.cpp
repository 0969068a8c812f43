#include "io/replacement_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

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

// Each case runs with each kind of temporary: an unnamed one linked through
// /proc/self/fd or (root) by its descriptor, and a named one, where neither
// way of linking works or the file system has no unnamed files.
struct ReplacementFileTest : ::testing::TestWithParam<int> {
  ReplacementFileTest() {
    if (GetParam() >= 1) layer.errors["LinkUnnamed"] = ENOENT;
    if (GetParam() >= 2) layer.errors["LinkUnnamedByHandle"] = ENOENT;
    if (GetParam() == 3) layer.unnamedError = EOPNOTSUPP;
  }
  ~ReplacementFileTest() override { umask(previousMask); }
  TempFolder folder;
  FaultySysCalls layer;
  ScopedSysCalls scope{layer};
  Folder open = Folder::Open(folder.path());
  const mode_t previousMask = umask(022);
};

// "a" (holding "old") replaced by new bytes: the old file stays until a
// commit that worked. A failed close (reported before anything is renamed)
// or rename keeps it, and so does running out of temporary names; taken
// ones are skipped, up to a limit, met both before the temporary (by the
// probe of how to link, or the named temporary) and before its commit (by
// the link of an unnamed one). No temporary is left either way. Each row
// has a layer of its own, so the way of linking is probed anew.
TEST_P(ReplacementFileTest, OldFileStaysUntilACommitThatWorked) {
  const struct {
    const char* name;
    bool commit;
    int closeError, renameError, takenNames, error;
  } rows[] = {{"not committed", false, 0, 0, 0, 0},
              {"committed past taken names", true, 0, 0, 5, 0},
              {"failed close", true, EIO, 0, 0, EIO},
              {"failed rename", true, 0, EIO, 0, EIO},
              {"no free temporary name", true, 0, 0, 1000, EEXIST}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    WriteFile(folder / "a", "old");
    FaultySysCalls faults = layer;
    faults.closeError = row.closeError;
    faults.takenNames = row.takenNames;
    if (row.renameError) faults.errors["Rename"] = row.renameError;
    const ScopedSysCalls faulty(faults);
    const auto replace = [&] {
      ReplacementFile file(open, "a", 0644);
      faults.takenNames = row.takenNames;
      WriteAll(file.file(), "new bytes", 9, 0);
      EXPECT_EQ(ReadFile(folder / "a"), "old");
      if (row.commit) file.Commit();
    };
    row.error ? ExpectFileError(replace, row.error, folder / "a") : replace();
    EXPECT_EQ(ReadFile(folder / "a"), row.commit && !row.error ? "new bytes" : "old");
    EXPECT_EQ(FolderEntries(folder.path()), Strings{"a"});
  }
}

// The temporary is private until committed; then a new file gets its mode
// less the umask, a replaced one no more than it had and never a setuid bit.
TEST_P(ReplacementFileTest, FileIsPrivateUntilCommittedThenGetsItsMode) {
  WriteFile(folder / "setuid.bin", "old");
  fs::permissions(folder / "setuid.bin", fs::perms(06775));
  for (const auto& [name, mode] : {std::pair{"new.bin", 0644}, {"setuid.bin", 0755}}) {
    SCOPED_TRACE(name);
    ReplacementFile file(open, name, 0666, 0755);
    EXPECT_EQ(file.file().Status().mode, 0600u);
    file.Commit();
    EXPECT_EQ(fs::status(folder / name).permissions(), fs::perms(mode));
  }
}

// A file system that keeps no modes fails every fchmod: the work goes on,
// the file left at its temporary's 0600, unless that is more than it may have.
TEST_P(ReplacementFileTest, WithoutModesTheFileKeepsItsTemporarysModeIfAllowed) {
  layer.errors["SetMode"] = ENOSYS;
  ReplacementFile(open, "new.bin", 0644).Commit();
  EXPECT_EQ(fs::status(folder / "new.bin").permissions(), fs::perms(0600));
  ExpectFileError([&] { ReplacementFile(open, "narrow.bin", 0444).Commit(); }, ENOSYS,
                  folder / "narrow.bin");
}

// The way of linking is probed once, at the first temporary, with one link each way tried.
TEST_P(ReplacementFileTest, TheWayOfLinkingIsProbedOnce) {
  for (const char* name : {"1", "2", "3"}) ReplacementFile(open, name, 0644).Commit();
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
  const std::pair<std::string, int> rows[] = {
      {"link", kSymbolicLink}, {"folder", EISDIR}, {"fifo", kNotRegularFile}};
  for (const auto& [name, code] : rows) {
    SCOPED_TRACE(name);
    ExpectFileError([&] { CheckReplaceable(open, name); }, code, folder / name);
    ExpectFileError([&] { ReplacementFile(open, name, 0644).Commit(); }, code, folder / name);
  }
  EXPECT_EQ(ReadFile(elsewhere / "target"), "not to be touched");
  EXPECT_EQ(FolderEntries(folder.path()), (Strings{"fifo", "folder", "link"}));
}

constexpr const char* kTemporaries[] = {"ThroughProc", "ByHandle", "NamedWithoutLinks", "Named"};
INSTANTIATE_TEST_SUITE_P(Temporaries, ReplacementFileTest, ::testing::Values(0, 1, 2, 3),
                         [](const auto& row) { return std::string(kTemporaries[row.param]); });

// Root replaces out.bin (a setuid file, 06666) as a join does, with no
// more rights than a part of 0644. It keeps its owner and group where no
// one else could have planted it: the folder is not open to all, or the
// owner owns the folder, or is the runner (whose group comes back);
// otherwise it becomes root's, and a third user's file in a sticky folder
// open to all is not replaced at all (protected_regular). Either way it has
// no more rights than the part, and no setuid bit.
TEST(OtherUser, ReplacedFileKeepsItsOwnerOnlyWhereNoOneElseCouldPlantIt) {
  if (!CanActAsOtherUser()) GTEST_SKIP() << "needs root to act as a second user";
  constexpr std::uint32_t other = kOtherUserId;
  const struct {
    const char* name;
    std::uint32_t folderOwner, folderMode, owner, group, newOwner, newGroup;
    int error;
  } rows[] = {{"sticky, a third user's file", 0, 01777, other, other, other, other, kProtectedFile},
              {"sticky, the folder owner's file", other, 01777, other, other, other, other, 0},
              {"open to all", 0, 0777, other, other, 0, 0, 0},
              {"not open to all", 0, 0755, other, other, other, other, 0},
              {"open to all, the runner's file", other, 0777, 0, other, 0, other, 0}};
  for (const auto& [name, folderOwner, folderMode, owner, group, newOwner, newGroup, error] :
       rows) {
    SCOPED_TRACE(name);
    TempFolder folder;
    WriteFile(folder / "out.bin", "old");
    ASSERT_EQ(chown((folder / "out.bin").c_str(), owner, group), 0);
    ASSERT_EQ(chown(folder.path().c_str(), folderOwner, 0), 0);
    fs::permissions(folder / "out.bin", fs::perms(06666));
    fs::permissions(folder.path(), fs::perms(folderMode));
    const Folder open = Folder::Open(folder.path());
    const auto replace = [&] { ReplacementFile(open, "out.bin", 0644, 0644).Commit(); };
    error ? ExpectFileError(replace, error, folder / "out.bin") : replace();
    const FileStatus status = *open.Status("out.bin");
    EXPECT_EQ(std::tuple(ReadFile(folder / "out.bin"), status.owner, status.group, status.mode),
              std::tuple(error ? "old" : "", newOwner, newGroup, error ? 06666u : 0644u));
  }
}

// Another user's join in a folder open to all gains no rights over root's
// set (each file holding its name, Infa.inf naming root.bin): it can't
// replace root.bin, which that user could not write in place; a folder the
// user may read but not search is an access error naming it, not "no
// parts". Either way the folder is left as it was.
TEST(OtherUser, AJoinGainsNoRights) {
  if (!CanActAsOtherUser()) GTEST_SKIP() << "needs root to act as a second user";
  TempFolder folder;
  const Strings files = {"001.drb", "002.drb", "Infa.inf", "root.bin"};
  for (const std::string& name : files) WriteFile(folder / name, name);
  WriteFile(folder / "Infa.inf", "root.bin\r\n");
  const std::pair<const char*, std::string> rows[] = {{"folder open to all", folder / "root.bin"},
                                                      {"folder not searchable", folder.path()}};
  for (const auto& [name, errorPath] : rows) {
    SCOPED_TRACE(name);
    fs::permissions(folder.path(), fs::perms(errorPath == folder.path() ? 0774 : 0777));
    const int error = RunAsOtherUser([&] {
      const Report report = Join(folder.path());
      return report.errorPath == errorPath ? report.errorCode : 0;
    });
    EXPECT_EQ(error, EACCES);
    EXPECT_EQ(ReadFile(folder / "root.bin"), "root.bin");
    EXPECT_EQ(FolderEntries(folder.path()), files);
  }
}

}  // namespace
}  // namespace parcelo::testing
