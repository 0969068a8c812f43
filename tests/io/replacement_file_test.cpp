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
    WriteFile(folder / "a", "old");
  }
  ~ReplacementFileTest() override { umask(previousMask); }
  // Writes new bytes to a replacement of "a", committed if `commit`; the old
  // file stays meanwhile.
  void ReplaceA(bool commit) {
    ReplacementFile file(open, "a", 0644);
    WriteAll(file.file(), "new bytes", 9, 0);
    EXPECT_EQ(ReadFile(folder / "a"), "old");
    if (commit) file.Commit();
  }
  TempFolder folder;
  FaultySysCalls layer;
  ScopedSysCalls scope{layer};
  Folder open = Folder::Open(folder.path());
  const mode_t previousMask = umask(022);
};

TEST_P(ReplacementFileTest, OldFileStaysUntilTheCommit) {
  ReplaceA(false);
  EXPECT_EQ(ReadFile(folder / "a"), "old");
  ReplaceA(true);
  EXPECT_EQ(ReadFile(folder / "a"), "new bytes");
  EXPECT_EQ(FolderEntries(folder.path()), Strings{"a"});
}

// Taken temporary names are skipped, up to a limit (AFailedCommitKeepsTheOldFile),
// by the probe of how to link too.
TEST_P(ReplacementFileTest, TakenTemporaryNamesAreSkipped) {
  layer.takenNames = 5;  // met by the probe of how to link, or the named temporary
  ReplacementFile file(open, "a", 0644);
  layer.takenNames = 5;  // met by the link of the unnamed temporary, where there is one
  file.Commit();
  EXPECT_EQ(ReadFile(folder / "a"), "");
  EXPECT_EQ(FolderEntries(folder.path()), Strings{"a"});
}

// A failed close (reported before anything is renamed) or rename keeps the
// old file, and so does running out of temporary names; no temporary is left.
TEST_P(ReplacementFileTest, AFailedCommitKeepsTheOldFile) {
  const std::tuple<std::string, std::function<void()>, int> rows[] = {
      {"failed close", [&] { layer.closeError = EIO; }, EIO},
      {"failed rename", [&] { layer.errors["Rename"] = EIO; }, EIO},
      {"no free temporary name", [&] { layer.takenNames = 1000; }, EEXIST}};
  for (const auto& [name, fault, code] : rows) {
    SCOPED_TRACE(name);
    fault();
    ExpectFileError([&] { ReplaceA(true); }, code, folder / "a");
    layer.closeError = 0, layer.takenNames = 0;
    layer.errors.erase("Rename");
    EXPECT_EQ(ReadFile(folder / "a"), "old");
    EXPECT_EQ(FolderEntries(folder.path()), Strings{"a"});
  }
}

TEST_P(ReplacementFileTest, TemporaryIsPrivateUntilCommitted) {
  ReplacementFile file(open, "new.bin", 0666);
  EXPECT_EQ(file.file().Status().mode, 0600u);
}

// A new file gets its mode less the umask, a replaced one no more than it
// had and never a setuid bit.
TEST_P(ReplacementFileTest, CommittedFileGetsItsMode) {
  WriteFile(folder / "setuid.bin", "old");
  fs::permissions(folder / "setuid.bin", fs::perms(06775));
  for (const auto& [name, mode] : {std::pair{"new.bin", 0644}, {"setuid.bin", 0755}}) {
    SCOPED_TRACE(name);
    ReplacementFile(open, name, 0666, 0755).Commit();
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
  EXPECT_EQ(FolderEntries(folder.path()), (Strings{"a", "fifo", "folder", "link"}));
}

constexpr const char* kTemporaries[] = {"ThroughProc", "ByHandle", "NamedWithoutLinks", "Named"};
INSTANTIATE_TEST_SUITE_P(Temporaries, ReplacementFileTest, ::testing::Values(0, 1, 2, 3),
                         [](const auto& row) { return std::string(kTemporaries[row.param]); });

// Root joins over out.bin (a setuid file, 06666). It keeps its owner and
// group where no one else could have planted it: the folder is not open to
// all, or the owner owns the folder, or is the runner (whose group comes
// back); otherwise it becomes root's, and a third user's file in a sticky
// folder open to all is not replaced at all (protected_regular). Either way
// it has no more rights than the first part, and no setuid bit.
TEST(OtherUser, ReplacedFileKeepsItsOwnerOnlyWhereNoOneElseCouldPlantIt) {
  if (!CanActAsOtherUser()) GTEST_SKIP() << "needs root to act as a second user";
  constexpr std::uint32_t other = kOtherUserId;
  const struct {
    const char* name;
    std::uint32_t folderOwner, folderMode, owner, group;
    int error;  // the join's
    std::uint32_t newOwner, newGroup;
  } rows[] = {{"sticky, a third user's file", 0, 01777, other, other, kProtectedFile, other, other},
              {"sticky, the folder owner's file", other, 01777, other, other, 0, other, other},
              {"open to all", 0, 0777, other, other, 0, 0, 0},
              {"not open to all", 0, 0755, other, other, 0, other, other},
              {"open to all, the runner's file", other, 0777, 0, other, 0, 0, other}};
  for (const auto& [name, folderOwner, folderMode, owner, group, error, newOwner, newGroup] :
       rows) {
    SCOPED_TRACE(name);
    TempFolder folder;
    for (const auto& [file, bytes] :
         {std::pair{"Infa.inf", "out.bin\r\n"}, {"001.drb", "new"}, {"out.bin", "old"}}) {
      WriteFile(folder / file, bytes);
    }
    ASSERT_EQ(chown((folder / "out.bin").c_str(), owner, group) |
                  chown(folder.path().c_str(), folderOwner, 0),
              0);
    fs::permissions(folder / "out.bin", fs::perms(06666));
    // Older than the part: no edit of the user's to ask about.
    fs::last_write_time(folder / "out.bin",
                        fs::last_write_time(folder / "001.drb") - std::chrono::hours(1));
    fs::permissions(folder.path(), fs::perms(folderMode));
    const Report report = Join(folder.path());
    const FileStatus status = *Folder::Open(folder.path()).Status("out.bin");
    EXPECT_EQ(std::tuple(report.errorCode, report.errorPath, ReadFile(folder / "out.bin"),
                         status.owner, status.group, status.mode),
              std::tuple(error, error ? folder / "out.bin" : "", error ? "old" : "new", newOwner,
                         newGroup, error ? 06666u : 0644u));
  }
}

// A set in a folder open to all, its parts and root.bin root's, and
// writable by no one else; Infa.inf names root.bin.
struct OtherUserJoin : ::testing::Test {
  void SetUp() override {
    if (!CanActAsOtherUser()) GTEST_SKIP() << "needs root to act as a second user";
    fs::permissions(folder.path(), fs::perms(0777));
    for (const char* name : {"Infa.inf", "001.drb", "002.drb", "root.bin"}) {
      WriteFile(folder / name, name);  // each file holds its name
      fs::permissions(folder / name, fs::perms(0644));
    }
    WriteFile(folder / "Infa.inf", "root.bin\r\n");
  }
  // The error of the other user's join where it names `errorPath`, else 0.
  int JoinAsOtherUser(const std::string& errorPath) {
    return RunAsOtherUser([&] {
      const Report report = Join(folder.path());
      return report.errorPath == errorPath ? report.errorCode : 0;
    });
  }
  TempFolder folder;
};

// A user can't replace a file they could not write in place, even in a folder open to all.
TEST_F(OtherUserJoin, CannotReplaceAFileTheUserCouldNotWrite) {
  EXPECT_EQ(JoinAsOtherUser(folder / "root.bin"), EACCES);
  EXPECT_EQ(ReadFile(folder / "root.bin"), "root.bin");
  EXPECT_EQ(FolderEntries(folder.path()), (Strings{"001.drb", "002.drb", "Infa.inf", "root.bin"}));
}

// A folder the user may read but not search is an access error naming it, not "no parts".
TEST_F(OtherUserJoin, AFolderTheUserCannotSearchIsAnAccessError) {
  fs::permissions(folder.path(), fs::perms(0774));
  EXPECT_EQ(JoinAsOtherUser(folder.path()), EACCES);
}

}  // namespace
}  // namespace parcelo::testing
