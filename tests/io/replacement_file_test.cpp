#include "io/replacement_file.h"

#include <gtest/gtest.h>

#include "io/file_error.h"
#include "io/write_all.h"
#include "support/faulty_sys_calls.h"
#include "support/expect_file_error.h"
#include "support/temp_folder.h"

namespace parcelo {
namespace {

using testing::FolderEntries;
using testing::ReadFile;
using testing::TempFolder;
using testing::WriteFile;

TEST(ReplacementFile, TakesThePlaceOfTheTargetOnlyOnCommit) {
  TempFolder folder;
  WriteFile(folder / "out", "old");
  {
    ReplacementFile output(folder.path() + "/", "out");
    WriteAll(output.file(), "new bytes", 9, 0);
    EXPECT_EQ(ReadFile(folder / "out"), "old");
    output.Commit();
  }
  EXPECT_EQ(ReadFile(folder / "out"), "new bytes");
  EXPECT_EQ(FolderEntries(folder.path()), std::vector<std::string>{"out"});
}

TEST(ReplacementFile, LeavesTheOldFileAndNoTemporaryWhenAbandoned) {
  TempFolder folder;
  WriteFile(folder / "out", "old");
  {
    ReplacementFile output(folder.path() + "/", "out");
    WriteAll(output.file(), "partial", 7, 0);
  }
  EXPECT_EQ(ReadFile(folder / "out"), "old");
  EXPECT_EQ(FolderEntries(folder.path()), std::vector<std::string>{"out"});
}

TEST(ReplacementFile, FailedRenameNamesTheTargetAndCleansUp) {
  TempFolder folder;
  testing::FaultySysCalls faults;
  faults.renameError = EACCES;
  ScopedSysCalls scope(faults);
  ReplacementFile output(folder.path() + "/", "out");
  WriteAll(output.file(), "x", 1, 0);
  testing::ExpectFileError([&] { output.Commit(); }, EACCES, folder / "out");
}

TEST(ReplacementFile, UnwritableFolderIsReportedWithTheTargetName) {
  TempFolder folder;
  const auto error = testing::ExpectFileError(
      [&] { ReplacementFile output(folder.path() + "/missing/", "out"); }, ENOENT,
      folder / "missing/out");
  EXPECT_TRUE(error && error->operation() == FileOperation::Create);
}

}  // namespace
}  // namespace parcelo
