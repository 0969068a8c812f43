#include "split/split.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <new>

#include "join/join.h"
#include "operation/messages.h"
#include "support/expect_file_error.h"
#include "support/faulty_sys_calls.h"
#include "support/temp_folder.h"

namespace parcelo {
namespace {

namespace fs = std::filesystem;
using testing::ExpectFailure;
using testing::ExpectReport;
using testing::FolderEntries;
using testing::ReadFile;
using testing::WriteFile;
using Strings = std::vector<std::string>;

struct SplitTest : ::testing::Test {
  testing::TempFolder folder;

  Report SplitFile(const std::string& name, const std::string& bytes, const std::string& size, bool newFolder = false,
                   const std::string& newFolderName = "", const Progress& progress = {}) {
    WriteFile(folder / name, bytes);
    return Split({folder / name, size, newFolder, newFolderName}, progress);
  }
  // "name:size" for every entry but the source and the info file.
  static Strings Parts(const std::string& in, const std::string& source = "f") {
    Strings parts;
    for (const auto& name : FolderEntries(in)) {
      if (name != source && name != "Infa.inf")
        parts.push_back(name + ":" + std::to_string(ReadFile(in + "/" + name).size()));
    }
    return parts;
  }
  // An earlier set of another file, whose info file must outlive any refusal.
  void MakeOldSet(const std::string& in) {
    WriteFile(in + "/Infa.inf", "other.bin\r\n");
    WriteFile(in + "/001.drb", "old");
  }
};

TEST_F(SplitTest, DistributesTheBytesOverNumberedParts) {
  ExpectReport(SplitFile("film.avi", "0123456789", "3"), Outcome::Done, messages::kSplitDoneTitle,
               "Поздравляем! Выбранный файл " + (folder / "film.avi") + " был разбит на 4 части(ей)!");
  EXPECT_EQ(Parts(folder.path(), "film.avi"), (Strings{"001.drb:3", "002.drb:3", "003.drb:3", "004.drb:1"}));
  EXPECT_EQ(ReadFile(folder / "004.drb"), "9");
  EXPECT_EQ(ReadFile(folder / "Infa.inf"), "film.avi\r\n");
}

TEST_F(SplitTest, PieceSizeTextIsReadAndRoundedHalfToEven) {
  const std::pair<const char*, Strings> rows[] = {{"9.6", {"001.drb:10"}},
                                                  {"3.5", {"001.drb:4", "002.drb:4", "003.drb:2"}},
                                                  {" 4.5xyz", {"001.drb:4", "002.drb:4", "003.drb:2"}}};
  for (const auto& [size, parts] : rows) {
    testing::TempFolder fresh;
    WriteFile(fresh / "f", "0123456789");
    ASSERT_EQ(Split({fresh / "f", size, false, ""}).outcome, Outcome::Done) << size;
    EXPECT_EQ(Parts(fresh.path()), parts) << size;
  }
}

TEST_F(SplitTest, MakesAThousandPartsAndNoMore) {
  const Report report = SplitFile("f", std::string(3000, 'x'), "3");
  ASSERT_EQ(report.outcome, Outcome::Done);
  EXPECT_EQ(Parts(folder.path()).size(), 1000u);
  EXPECT_EQ(ReadFile(folder / "1000.drb"), "xxx");
  EXPECT_NE(report.message.text.find("разбит на 1000 части(ей)!"), std::string::npos);
}

// Every refusal comes before anything is written, in the order of its checks.
TEST_F(SplitTest, RefusalsWriteNothingAndLeaveAnEarlierSetAlone) {
  struct Row {
    std::string name, bytes, size;
    bool newFolder;
    std::string folderName, extra, title, text;
  };
  using namespace messages;
  const std::vector<Row> rows = {
      {"f", std::string(1000000, 'x'), "1000000", false, "", "", kSizeErrorTitle, kPieceNotSmaller},
      {"f", "0123456789", "2147483647.4", false, "", "", kSizeErrorTitle, kPieceNotSmaller},
      {"f", std::string(3001, 'x'), "3", false, "", "", kCountErrorTitle, kTooManyParts},
      {"f", "0123456789", "0.5", false, "", "", kSizeErrorTitle, kPieceSizeRange},
      {"f", "0123456789", "abc", false, "", "", kSizeErrorTitle, kPieceSizeRange},
      {"f", "0123456789", "1e999", false, "", "", kSizeErrorTitle, kPieceSizeRange},
      {"f", "0123456789", "5", true, "..", "", kFolderNameErrorTitle, kBadFolderName},
      {"f", "0123456789", "5", true, "../x", "", kFolderNameErrorTitle, kBadFolderName},
      // Names the info file can't carry back, even where other checks would refuse too.
      {"report\rdraft", "0123456789", "3", false, "", "", kFileNameErrorTitle, kUnstorableName},
      {" lead.bin", "0123456789", "3", false, "", "", kFileNameErrorTitle, kUnstorableName},
      {"Infa.inf", "0123456789", "3", true, "sub", "", kFileNameErrorTitle, kUnstorableName},
      {"INFA.SHA256", "0123456789", "3", true, "sub", "", kFileNameErrorTitle, kUnstorableName},
      {"old.DRB", "0123456789", "3", false, "", "009.drb", kFileNameErrorTitle, kUnstorableName},
      // Parts the join would take with this set: any kind of entry, any letter case.
      {"f", "0123456789", "5", false, "", "003.drb", kSplitErrorTitle, kForeignParts},
      {"f", "0123456789", "5", false, "", "x.DRB", kSplitErrorTitle, kForeignParts},
      {"f", "0123456789", "5", false, "", "007.drb/", kSplitErrorTitle, kForeignParts}};
  for (const Row& row : rows) {
    testing::TempFolder fresh;
    MakeOldSet(fresh.path());
    WriteFile(fresh / row.name, row.bytes);
    if (row.extra.ends_with("/"))
      fs::create_directory(fresh / row.extra);
    else if (!row.extra.empty())
      WriteFile(fresh / row.extra, "foreign");
    const Strings before = FolderEntries(fresh.path());
    ExpectReport(Split({fresh / row.name, row.size, row.newFolder, row.folderName}), Outcome::Refused, row.title,
                 row.text);
    EXPECT_EQ(FolderEntries(fresh.path()), before) << row.name << " " << row.size;
    if (row.name != "Infa.inf") {
      EXPECT_EQ(ReadFile(fresh / "Infa.inf"), "other.bin\r\n");
    }
    EXPECT_EQ(ReadFile(fresh / row.name), row.bytes);
  }
  ExpectReport(Split({"", "abc", true, ".."}), Outcome::Refused, kReadErrorTitle, kNoSource);
}

// Infa.sha256 is what sha256sum checks the set with, and the joined file
// too; a later split without checksums takes away the one that would
// describe other parts.
TEST_F(SplitTest, ChecksumsOnRequestAreWhatSha256sumChecks) {
  const std::string bytes = testing::PatternBytes(2500);
  WriteFile(folder / "my film.avi", bytes);
  ASSERT_EQ(Split({folder / "my film.avi", "1000", true, "set", true}).outcome, Outcome::Done);
  const std::string content = ReadFile(folder / "set/Infa.sha256");
  EXPECT_EQ(std::count(content.begin(), content.end(), '\n'), 4);
  EXPECT_TRUE(content.ends_with("  my film.avi\n")) << content;
  const std::string check = "cd " + folder / "set" + " && sha256sum --quiet -c";
  EXPECT_EQ(std::system((check + " --ignore-missing Infa.sha256").c_str()), 0);
  fs::copy_file(folder / "my film.avi", folder / "set/my film.avi");
  EXPECT_EQ(std::system((check + " Infa.sha256").c_str()), 0);
  ASSERT_EQ(Split({folder / "my film.avi", "1000", true, "set"}).outcome, Outcome::Done);
  EXPECT_EQ(FolderEntries(folder / "set"), (Strings{"001.drb", "002.drb", "003.drb", "Infa.inf", "my film.avi"}));
}

TEST_F(SplitTest, NeverWritesOverItsSourceUnderAnotherName) {
  WriteFile(folder / "film", "0123456789");
  fs::create_directory(folder / "sub");
  fs::create_hard_link(folder / "film", folder / "sub/004.drb");  // the last of four parts
  ExpectReport(Split({folder / "film", "3", true, "sub"}), Outcome::Refused, messages::kSplitErrorTitle,
               messages::kOwnSource);
  EXPECT_EQ(FolderEntries(folder / "sub"), Strings{"004.drb"});
  EXPECT_EQ(ReadFile(folder / "sub/004.drb"), "0123456789");
  fs::rename(folder / "sub/004.drb", folder / "sub/Infa.inf");
  EXPECT_EQ(Split({folder / "film", "3", true, "sub"}).outcome, Outcome::Refused);
  EXPECT_EQ(ReadFile(folder / "sub/Infa.inf"), "0123456789");
}

TEST_F(SplitTest, PlacesTheSetBesideTheSourceOrInTheNewFolder) {
  ASSERT_EQ(SplitFile("film.avi", "0123456789", "5", true, "NewFolder").outcome, Outcome::Done);
  EXPECT_EQ(FolderEntries(folder / "NewFolder"), (Strings{"001.drb", "002.drb", "Infa.inf"}));
  ASSERT_EQ(SplitFile("film.avi", "0123456789", "5", true, "NewFolder").outcome, Outcome::Done);  // exists now
  ASSERT_EQ(SplitFile("film.avi", "0123456789", "5", true, "").outcome, Outcome::Done);  // empty name: beside it
  EXPECT_EQ(FolderEntries(folder.path()), (Strings{"001.drb", "002.drb", "Infa.inf", "NewFolder", "film.avi"}));
  // A relative path is taken from the current folder, and the info file holds its name.
  const auto previous = fs::current_path();
  fs::current_path(folder / "NewFolder");
  WriteFile(folder / "NewFolder/rel.bin", "abcdefghij");
  const Report report = Split({"rel.bin", "6", false, ""});
  fs::current_path(previous);
  EXPECT_EQ(report.message.text, "Поздравляем! Выбранный файл rel.bin был разбит на 2 части(ей)!");
  EXPECT_EQ(ReadFile(folder / "NewFolder/Infa.inf"), "rel.bin\r\n");
  EXPECT_EQ(ReadFile(folder / "NewFolder/002.drb"), "ghij");
}

TEST_F(SplitTest, ReplacesOldPartsInsteadOfWritingIntoThem) {
  WriteFile(folder / "keep", "linked bytes");
  fs::create_hard_link(folder / "keep", folder / "001.drb");
  ASSERT_EQ(SplitFile("f", "0123456789", "5").outcome, Outcome::Done);
  EXPECT_EQ(ReadFile(folder / "keep"), "linked bytes");
  EXPECT_EQ(ReadFile(folder / "001.drb"), "01234");
}

// A split that stops early leaves no info file, so no join takes the parts
// written so far for the whole file; one that stops before its first part
// lands leaves an older set whole.
TEST_F(SplitTest, SetBecomesJoinableOnlyWhenComplete) {
  const std::string bytes = testing::PatternBytes(3 << 20);
  MakeOldSet(folder.path());
  testing::FaultySysCalls full;
  full.writeError = ENOSPC;
  full.writeErrorAfter = 1 << 20;  // in the second part
  {
    ScopedSysCalls scope(full);
    ExpectFailure(SplitFile("f", bytes, "1048576"), ENOSPC, folder / "002.drb");
  }
  EXPECT_EQ(FolderEntries(folder.path()), (Strings{"001.drb", "f"}));
  ExpectFailure(Join(folder.path(), ListFolder), ENOENT, folder / "Infa.inf");
  EXPECT_EQ(ReadFile(folder / "f"), bytes);

  MakeOldSet(folder.path());
  testing::FaultySysCalls fullAtOnce;
  fullAtOnce.writeError = ENOSPC;
  fullAtOnce.writeErrorAfter = 1;
  fullAtOnce.maxBytesPerCall = 1;
  {
    ScopedSysCalls scope(fullAtOnce);
    ExpectFailure(Split({folder / "f", "1048576", false, ""}), ENOSPC, folder / "001.drb");
  }
  EXPECT_EQ(ReadFile(folder / "Infa.inf"), "other.bin\r\n");
  EXPECT_EQ(ReadFile(folder / "001.drb"), "old");
}

// What would stop the split half-way is found before anything is created.
TEST_F(SplitTest, EntriesItCannotReplaceAreErrorsBeforeAnyWrite) {
  WriteFile(folder / "f", "0123456789");
  fs::create_directory(folder / "002.drb");
  ExpectFailure(Split({folder / "f", "5", false, ""}), EISDIR, folder / "002.drb");
  fs::remove(folder / "002.drb");
  ASSERT_EQ(mkfifo((folder / "Infa.inf").c_str(), 0600), 0);
  ExpectFailure(Split({folder / "f", "5", false, ""}), kNotRegularFile, folder / "Infa.inf");
  fs::remove(folder / "Infa.inf");
  // A new-folder name that is a symbolic link is never followed.
  testing::TempFolder elsewhere;
  fs::create_directory_symlink(elsewhere.path(), folder / "sub");
  ExpectFailure(Split({folder / "f", "5", true, "sub"}), kSymbolicLink, folder / "sub");
  EXPECT_EQ(FolderEntries(folder.path()), (Strings{"f", "sub"}));
  EXPECT_TRUE(FolderEntries(elsewhere.path()).empty());
  WriteFile(folder / "NewFolder", "a file, not a folder");
  ExpectFailure(Split({folder / "f", "5", true, "NewFolder"}), ENOTDIR, folder / "NewFolder");
  ExpectFailure(Split({folder / "missing.avi", "5", true, "x"}), ENOENT, folder / "missing.avi");
  EXPECT_EQ(FolderEntries(folder.path()), (Strings{"NewFolder", "f", "sub"}));
}

TEST_F(SplitTest, FailedSplitRemovesTheNewFolderWhenNothingLandedInIt) {
  testing::FaultySysCalls full;
  full.writeError = ENOSPC;
  full.writeErrorAfter = 1;
  full.maxBytesPerCall = 1;
  {
    ScopedSysCalls scope(full);
    ExpectFailure(SplitFile("f", "0123456789", "5", true, "set"), ENOSPC, folder / "set/001.drb");
  }
  EXPECT_EQ(FolderEntries(folder.path()), Strings{"f"});
  // No memory for the copy: the report names the file being written.
  const Progress noMemory = [](const ProgressReport& report) {
    if (report.part == 2) throw std::bad_alloc();
  };
  ExpectFailure(Split({folder / "f", "5", true, "set"}, noMemory), kOutOfMemory, folder / "set/002.drb");
}

// One operation per folder: a second one on a folder in use writes nothing.
TEST_F(SplitTest, RefusesAFolderAnotherOperationHolds) {
  WriteFile(folder / "f", "0123456789");
  const int holder = open(folder.path().c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_EQ(flock(holder, LOCK_EX), 0);
  ExpectFailure(Split({folder / "f", "5", false, ""}), kFolderBusy, folder.path());
  close(holder);
  EXPECT_EQ(FolderEntries(folder.path()), Strings{"f"});
  EXPECT_EQ(Split({folder / "f", "5", false, ""}).outcome, Outcome::Done);
}

TEST_F(SplitTest, CancelRemovesWhatThisSplitWroteAndKeepsAnOlderSetWhole) {
  MakeOldSet(folder.path());
  const Progress cancelAtThird = [](const ProgressReport& report) {
    if (report.part == 3) throw OperationCancelled{};
  };
  ExpectReport(SplitFile("f", "0123456789", "2", false, "", cancelAtThird), Outcome::Cancelled,
               messages::kSplitCancelledTitle, messages::kCancelled);
  EXPECT_EQ(FolderEntries(folder.path()), Strings{"f"});
  MakeOldSet(folder.path());
  const Progress cancelAtFirst = [](const ProgressReport&) { throw OperationCancelled{}; };
  EXPECT_EQ(Split({folder / "f", "2", true, "new"}, cancelAtFirst).outcome, Outcome::Cancelled);
  EXPECT_EQ(Split({folder / "f", "2", false, ""}, cancelAtFirst).outcome, Outcome::Cancelled);
  EXPECT_EQ(FolderEntries(folder.path()), (Strings{"001.drb", "Infa.inf", "f"}));
  EXPECT_EQ(ReadFile(folder / "Infa.inf"), "other.bin\r\n");
}

TEST_F(SplitTest, FifoSourceIsAnErrorNotAHang) {
  ASSERT_EQ(mkfifo((folder / "pipe").c_str(), 0600), 0);
  ExpectFailure(Split({folder / "pipe", "5", false, ""}), kNotRegularFile, folder / "pipe");
  EXPECT_EQ(FolderEntries(folder.path()), Strings{"pipe"});
}

TEST_F(SplitTest, PartsAreAsPrivateAsTheirSource) {
  const mode_t previous = umask(022);
  WriteFile(folder / "f", testing::PatternBytes(9 << 20));
  fs::permissions(folder / "f", fs::perms(0600));
  WriteFile(folder / "001.drb", "old, readable by all");  // replaced: keeps no more than the source allows
  fs::permissions(folder / "001.drb", fs::perms(04644));
  testing::FaultySysCalls named;  // a named temporary, to look at while the copy runs
  named.unnamedError = EOPNOTSUPP;
  Strings temporaries;
  const Progress look = [&](const ProgressReport&) {
    for (const auto& name : FolderEntries(folder.path())) {
      if (name.front() != '.') continue;
      // Private, and named no longer than its target ("001.drb").
      const bool fits = fs::status(folder / name).permissions() == fs::perms(0600) && name.size() <= 7;
      temporaries.push_back(name + ":" + std::to_string(fits));
    }
  };
  {
    ScopedSysCalls scope(named);
    ASSERT_EQ(Split({folder / "f", "4194305", false, ""}, look).outcome, Outcome::Done);
  }
  umask(previous);
  EXPECT_FALSE(temporaries.empty());
  for (const auto& temporary : temporaries) EXPECT_TRUE(temporary.ends_with(":1")) << temporary;
  for (const char* name : {"001.drb", "002.drb", "003.drb", "Infa.inf"}) {
    EXPECT_EQ(fs::status(folder / name).permissions(), fs::perms(0600)) << name;
  }
}

TEST_F(SplitTest, SurvivesInterruptedAndShortCallsAndReportsProgress) {
  const std::string bytes = testing::PatternBytes(9 << 20);
  WriteFile(folder / "f", bytes);
  testing::FaultySysCalls faults;
  faults.interrupt = true;
  faults.maxBytesPerCall = 65539;
  std::vector<ProgressReport> reports;
  {
    ScopedSysCalls scope(faults);
    ASSERT_EQ(
        Split({folder / "f", "3000000", false, ""}, [&](const ProgressReport& r) { reports.push_back(r); }).outcome,
        Outcome::Done);
  }
  EXPECT_GT(faults.interruptedCalls, 50);
  EXPECT_EQ(ReadFile(folder / "001.drb") + ReadFile(folder / "002.drb") + ReadFile(folder / "003.drb") +
                ReadFile(folder / "004.drb"),
            bytes);
  ASSERT_GE(reports.size(), 5u);
  EXPECT_EQ(reports.front().part, 1u);
  EXPECT_EQ(reports.back().part, 4u);
  EXPECT_EQ(reports.back().parts, 4u);
  EXPECT_EQ(reports.back().bytesDone, bytes.size());
  EXPECT_EQ(reports.back().bytesTotal, bytes.size());
}

TEST_F(SplitTest, SourceThatShrinksWhileReadIsAnErrorNeverAShortPart) {
  const std::string bytes = testing::PatternBytes(12 << 20);
  WriteFile(folder / "f", bytes);
  const Progress shrink = [&](const ProgressReport& r) {
    if (r.part == 2) fs::resize_file(folder / "f", 6 << 20);
  };
  const auto descriptors = testing::OpenDescriptorCount();
  ExpectFailure(Split({folder / "f", "5242880", false, ""}, shrink), kUnexpectedEnd, folder / "f");
  EXPECT_EQ(testing::OpenDescriptorCount(), descriptors);
  EXPECT_EQ(FolderEntries(folder.path()), (Strings{"001.drb", "f"}));
  EXPECT_EQ(ReadFile(folder / "001.drb"), bytes.substr(0, 5242880));
}

}  // namespace
}  // namespace parcelo
