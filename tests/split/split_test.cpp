#include "split/split.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <array>
#include <filesystem>
#include <new>

#include "io/folder.h"
#include "join/join.h"
#include "operation/messages.h"
#include "support/expect_file_error.h"
#include "support/faulty_sys_calls.h"
#include "support/temp_folder.h"

namespace parcelo::testing {
namespace {

namespace fs = std::filesystem;

struct SplitTest : ::testing::Test {
  TempFolder folder;
  const std::string source = folder / "f";
  SplitTest() { WriteFile(source, "0123456789"); }
  Report SplitInto(const std::string& size, const std::string& newFolder = "", const Progress& progress = {}) {
    return Split({source, size, !newFolder.empty(), newFolder}, progress);
  }
  Report SplitOnFullDisk(const std::string& size, std::uint64_t after, std::size_t perCall, const char* in = "") {
    FaultySysCalls full = FaultySysCalls::FullDisk(after, perCall);
    ScopedSysCalls scope(full);
    return SplitInto(size, in);
  }
  // An earlier set of another file, whose info file must outlive any refusal.
  void MakeOldSet(const std::string& in) {
    WriteFile(in + "/Infa.inf", "other.bin\r\n");
    WriteFile(in + "/001.drb", "old");
  }
};

// The size is read from the text's start and rounded half to even; a
// relative path is taken from the current folder, and the info file holds
// its name. Old parts are replaced, never written into (one is a hard link
// here), and parts keep no more rights than the source allows.
TEST_F(SplitTest, DistributesTheBytesOverPrivateNumberedParts) {
  fs::permissions(source, fs::perms(0600));
  WriteFile(folder / "keep", "old, readable by all");
  fs::permissions(folder / "keep", fs::perms(04644));
  fs::create_hard_link(folder / "keep", folder / "001.drb");
  const auto previous = fs::current_path();
  const mode_t mask = umask(022);
  fs::current_path(folder.path());
  const Report report = Split({"f", " 4.5xyz", false, ""});
  fs::current_path(previous);
  umask(mask);
  ExpectReport(report, Outcome::Done, messages::kSplitDoneTitle,
               "Поздравляем! Выбранный файл f был разбит на 3 части(ей)!");
  EXPECT_EQ(FolderEntries(folder.path()), (Strings{"001.drb", "002.drb", "003.drb", "Infa.inf", "f", "keep"}));
  EXPECT_EQ(ReadFile(folder / "001.drb") + "|" + ReadFile(folder / "003.drb"), "0123|89");
  EXPECT_EQ(ReadFile(folder / "Infa.inf") + ReadFile(folder / "keep"), "f\r\nold, readable by all");
  for (const char* name : {"001.drb", "003.drb", "Infa.inf"}) {
    EXPECT_EQ(fs::status(folder / name).permissions(), fs::perms(0600)) << name;
  }
}

// Every refusal comes before anything is written, in the order of its checks.
TEST_F(SplitTest, RefusalsWriteNothingAndLeaveAnEarlierSetAlone) {
  using namespace messages;
  const std::string bytes(1001, 'x');
  // The source's name, the piece size, the new folder, an entry made first (a folder when it ends
  // in "/"; in "sub", the source itself under another name), the box.
  const std::vector<std::array<std::string, 6>> rows = {
      {"f", "1001", "", "", kSizeErrorTitle, kPieceNotSmaller},
      {"f", "1", "", "", kCountErrorTitle, kTooManyParts},
      {"f", "0.5", "", "", kSizeErrorTitle, kPieceSizeRange},
      {"f", "5", "../x", "", kFolderNameErrorTitle, kBadFolderName},
      // Names the info file can't carry back, even where other checks would refuse too.
      {"report\rdraft", "3", "", "", kFileNameErrorTitle, kUnstorableName},
      {"Infa.inf", "3", "sub", "", kFileNameErrorTitle, kUnstorableName},
      // Parts the join would take with this set: any kind of entry, any letter case.
      {"f", "600", "", "x.DRB", kSplitErrorTitle, kForeignParts},
      {"f", "600", "", "007.drb/", kSplitErrorTitle, kForeignParts},
      // The source among the outputs: the last part, the info file.
      {"f", "334", "sub", "sub/003.drb", kSplitErrorTitle, kOwnSource},
      {"f", "334", "sub", "sub/Infa.inf", kSplitErrorTitle, kOwnSource}};
  for (const auto& [name, size, newFolder, extra, title, text] : rows) {
    TempFolder fresh;
    MakeOldSet(fresh.path());
    WriteFile(fresh / name, bytes);
    fs::create_directory(fresh / "sub");
    if (extra.ends_with("/")) fs::create_directory(fresh / extra);
    if (extra.ends_with(".DRB")) WriteFile(fresh / extra, "foreign");
    if (extra.starts_with("sub/")) fs::create_hard_link(fresh / name, fresh / extra);
    const Strings before = FolderEntries(fresh.path());
    ExpectReport(Split({fresh / name, size, !newFolder.empty(), newFolder}), Outcome::Refused, title, text);
    EXPECT_EQ(FolderEntries(fresh.path()), before) << name << " " << size;
    EXPECT_EQ(ReadFile(fresh / name) + ReadFile(fresh / "Infa.inf"),
              bytes + (name == "Infa.inf" ? bytes : "other.bin\r\n"));
  }
  ExpectReport(Split({"", "abc", true, ".."}), Outcome::Refused, kReadErrorTitle, kNoSource);
}

// Infa.sha256 checks the parts and the joined file with sha256sum; a later
// split without checksums takes away the one that would describe other parts.
// The new folder is made, or used as it is when it exists.
TEST_F(SplitTest, ChecksumsOnRequestAreWhatSha256sumChecks) {
  WriteFile(folder / "my film.avi", PatternBytes(2500));
  ASSERT_EQ(Split({folder / "my film.avi", "1000", true, "set", true}).outcome, Outcome::Done);
  EXPECT_EQ(std::ranges::count(ReadFile(folder / "set/Infa.sha256"), '\n'), 4);
  fs::copy_file(folder / "my film.avi", folder / "set/my film.avi");
  EXPECT_EQ(std::system(("cd " + folder / "set" + " && sha256sum --quiet --strict -c Infa.sha256").c_str()), 0);
  ASSERT_EQ(Split({folder / "my film.avi", "1000", true, "set"}).outcome, Outcome::Done);
  EXPECT_EQ(FolderEntries(folder / "set"), (Strings{"001.drb", "002.drb", "003.drb", "Infa.inf", "my film.avi"}));
}

// A split that stops early leaves no info file, so no join takes the parts
// written so far for the whole file; one that stops before its first part
// lands leaves an older set whole. A cancel takes away the parts it wrote
// and the older set they replaced; a failure takes away the new folder if
// nothing landed in it; no memory for the copy is an error naming the file
// being written.
TEST_F(SplitTest, StoppedSplitLeavesNoSetThatLooksWhole) {
  const std::string bytes = PatternBytes(3 << 20), mebibyte = "1048576";
  WriteFile(source, bytes);
  MakeOldSet(folder.path());
  ExpectFailure(SplitOnFullDisk(mebibyte, 1 << 20, 0), ENOSPC, folder / "002.drb");
  EXPECT_EQ(FolderEntries(folder.path()), (Strings{"001.drb", "f"}));
  ExpectFailure(Join(folder.path()), kNoInfoFile, folder / "Infa.inf");
  EXPECT_EQ(ReadFile(source), bytes);

  MakeOldSet(folder.path());
  ExpectFailure(SplitOnFullDisk(mebibyte, 1, 1), ENOSPC, folder / "001.drb");
  EXPECT_EQ(ReadFile(folder / "Infa.inf") + ReadFile(folder / "001.drb"), "other.bin\r\nold");
  ExpectReport(SplitInto(mebibyte, "", StopAtPart<OperationCancelled>(3)), Outcome::Cancelled,
               messages::kSplitCancelledTitle, messages::kCancelled);
  EXPECT_EQ(FolderEntries(folder.path()), Strings{"f"});
  ExpectFailure(SplitOnFullDisk(mebibyte, 1, 1, "set"), ENOSPC, folder / "set/001.drb");
  EXPECT_EQ(FolderEntries(folder.path()), Strings{"f"});
  ExpectFailure(SplitInto(mebibyte, "set", StopAtPart<std::bad_alloc>(2)), kOutOfMemory, folder / "set/002.drb");
}

// What would stop the split half-way is found before anything is created.
TEST_F(SplitTest, EntriesItCannotReplaceAreErrorsBeforeAnyWrite) {
  fs::create_directory(folder / "002.drb");
  ExpectFailure(SplitInto("5"), EISDIR, folder / "002.drb");
  // A new-folder name that is a symbolic link is never followed.
  TempFolder elsewhere;
  fs::create_directory_symlink(elsewhere.path(), folder / "sub");
  ExpectFailure(SplitInto("5", "sub"), kSymbolicLink, folder / "sub");
  EXPECT_TRUE(FolderEntries(elsewhere.path()).empty());
  ExpectFailure(SplitInto("5", "f"), ENOTDIR, source);
  // One operation per folder: a second one on a folder in use writes nothing.
  const Folder held = Folder::Open(folder.path());
  held.Lock();
  ExpectFailure(SplitInto("5"), kFolderBusy, folder.path());
  EXPECT_EQ(FolderEntries(folder.path()), (Strings{"002.drb", "f", "sub"}));
}

TEST_F(SplitTest, SurvivesInterruptedAndShortCallsAndReportsProgress) {
  const std::string bytes = PatternBytes(9 << 20);
  WriteFile(source, bytes);
  FaultySysCalls faults;
  faults.interrupt = true;
  faults.maxBytesPerCall = 65539;
  std::vector<ProgressReport> reports;
  {
    ScopedSysCalls scope(faults);
    ASSERT_EQ(SplitInto("3000000", "", [&](const ProgressReport& r) { reports.push_back(r); }).outcome, Outcome::Done);
  }
  EXPECT_GT(faults.interruptedCalls, 50);
  std::string parts;
  for (const char* name : {"001.drb", "002.drb", "003.drb", "004.drb"}) parts += ReadFile(folder / name);
  EXPECT_TRUE(parts == bytes);
  const ProgressReport& last = reports.back();
  EXPECT_EQ(std::tuple(reports.size() > 4, reports.front().part, last.part, last.parts, last.bytesDone),
            std::tuple(true, 1u, 4u, 4u, bytes.size()));
}

TEST_F(SplitTest, SourceThatShrinksWhileReadIsAnErrorNeverAShortPart) {
  WriteFile(source, std::string(12 << 20, 'x'));
  const Progress shrink = [&](const ProgressReport& r) {
    if (r.part == 2) fs::resize_file(source, 6 << 20);
  };
  const auto descriptors = OpenDescriptorCount();
  ExpectFailure(SplitInto("5242880", "", shrink), kUnexpectedEnd, source);
  EXPECT_EQ(OpenDescriptorCount(), descriptors);
  EXPECT_EQ(FolderEntries(folder.path()), (Strings{"001.drb", "f"}));
}

}  // namespace
}  // namespace parcelo::testing
