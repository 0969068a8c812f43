#include "split/split.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <array>
#include <filesystem>
#include <map>
#include <new>

#include "io/folder.h"
#include "join/join.h"
#include "operation/messages.h"
#include "partset/name_fault.h"
#include "support/expect_file_error.h"
#include "support/faulty_sys_calls.h"
#include "support/temp_folder.h"

namespace parcelo::testing {
namespace {

namespace fs = std::filesystem;
using namespace messages;
using Contents = std::map<std::string, std::string>;

// Every entry of a folder, hidden ones included, with its bytes ("" for a folder).
Contents ContentsOf(const std::string& folder) {
  Contents contents;
  for (const std::string& name : FolderEntries(folder))
    contents[name] = fs::is_directory(folder + "/" + name) ? "" : ReadFile(folder + "/" + name);
  return contents;
}

// Whatever happens, a split leaves no descriptor open.
struct SplitTest : ::testing::Test {
  TempFolder folder;
  const std::string source = folder / "f";
  const std::size_t descriptors = OpenDescriptorCount();

  SplitTest() { WriteFile(source, "0123456789"); }
  void TearDown() override { EXPECT_EQ(OpenDescriptorCount(), descriptors); }
  Report SplitInto(const std::string& size, const std::string& newFolder = "", const Progress& progress = {}) {
    return Split({source, size, !newFolder.empty(), newFolder}, progress);
  }
  // An earlier set of the file `owner`, parts 001.drb ... holding "old 1", "old 2", ...
  void MakeOldSet(const std::string& in, const std::string& owner, int parts = 1) {
    WriteFile(in + "/Infa.inf", owner + "\r\n");
    WriteFile(in + "/Infa.sha256", "old checksums\n");
    for (int k = 1; k <= parts; ++k) WriteFile(in + "/00" + std::to_string(k) + ".drb", "old " + std::to_string(k));
  }
};

// The size is read from the text's start, spaces as the window's field may hold them, and rounded
// half to even; the size check takes it unrounded (10 bytes are more than 9.6: one part).
TEST_F(SplitTest, CutsPiecesOfTheSizeTyped) {
  for (const auto& [size, parts] : {std::pair("\u00a04\u2009.5xyz", "0123|89"), {"9.6", "0123456789|"}}) {
    SCOPED_TRACE(size);
    ASSERT_EQ(SplitInto(size).outcome, Outcome::Done);
    EXPECT_EQ(ReadFile(folder / "001.drb") + "|" + ReadFile(folder / "003.drb"), parts);
  }
}

// Old parts are replaced, never written into (one is a hard link here, whose other name stays as
// it was), and no part has more rights than the source, whatever the umask and the old part allow.
TEST_F(SplitTest, ReplacesOldPartsByFilesOfTheSourcesRights) {
  fs::permissions(source, fs::perms(0600));
  WriteFile(folder / "keep", "old, readable by all");
  fs::permissions(folder / "keep", fs::perms(04644));
  fs::create_hard_link(folder / "keep", folder / "001.drb");
  const mode_t mask = umask(022);
  const Report report = SplitInto("4");
  umask(mask);
  ASSERT_EQ(report.outcome, Outcome::Done);
  EXPECT_EQ(ReadFile(folder / "001.drb") + "|" + ReadFile(folder / "keep"), "0123|old, readable by all");
  EXPECT_EQ(fs::status(folder / "keep").permissions(), fs::perms(04644));
  for (const char* name : {"001.drb", "003.drb", "Infa.inf"}) {
    EXPECT_EQ(fs::status(folder / name).permissions(), fs::perms(0600)) << name;
  }
}

// Every refusal comes before anything is written, in the order of its checks, and leaves the
// source's earlier set, or another file's, as it was.
TEST_F(SplitTest, RefusesBeforeWritingAnything) {
  using enum NameFault;
  const std::string bytes(1001, 'x');
  // What is refused, the source's name, the piece size, the new folder, an entry made first (a
  // folder when it ends in "/"; in "sub", the source itself under another name; "other.bin": the
  // set is that file's), the box.
  const std::vector<std::array<std::string, 7>> rows = {
      {"piece not smaller", "f", "1001", "", "", kSizeErrorTitle, kPieceNotSmaller},
      {"too many parts", "f", "1", "", "", kCountErrorTitle, kTooManyParts},
      {"piece out of range", "f", "0.5", "", "", kSizeErrorTitle, kPieceSizeRange},
      {"folder out", "f", "5", "../x", "", kFolderNameErrorTitle, BadFolderName(kSeparator)},
      {"new folder named as a part", "f", "5", "x.DRB", "", kFolderNameErrorTitle, BadFolderName(kSetFileName)},
      // Names the info file can't carry back, even where other checks would refuse too; the box
      // says why.
      {"control byte", "a\rb", "3", "", "", kFileNameErrorTitle, UnstorableName(kControlCharacter)},
      {"a set's name", "Infa.inf", "3", "sub", "", kFileNameErrorTitle, UnstorableName(kSetFileName)},
      {"trailing space", "f ", "3", "", "", kFileNameErrorTitle,
       "Имя файла нельзя сохранить в Infa.inf без изменений (пробел в конце имени). Переименуйте "
       "файл!"},
      // Parts the join would take with this set: any kind of entry, any letter case.
      {"foreign part", "f", "600", "", "x.DRB", kSplitErrorTitle, kForeignParts},
      {"folder as a part", "f", "600", "", "007.drb/", kSplitErrorTitle, kForeignParts},
      {"part past a gap in the old set", "f", "600", "", "777.drb", kSplitErrorTitle, kForeignParts},
      {"other file's set", "f", "600", "", "other.bin", kSplitErrorTitle, ForeignSet("other.bin")},
      // The source among the outputs.
      {"source as 003.drb", "f", "334", "sub", "sub/003.drb", kSplitErrorTitle, kOwnSource},
      {"source as Infa.inf", "f", "334", "sub", "sub/Infa.inf", kSplitErrorTitle, kOwnSource}};
  for (const auto& [what, name, size, newFolder, extra, title, text] : rows) {
    SCOPED_TRACE(what);
    TempFolder fresh;
    MakeOldSet(fresh.path(), extra == "other.bin" ? extra : name);
    WriteFile(fresh / name, bytes);
    fs::create_directory(fresh / "sub");
    if (extra.ends_with("/")) fs::create_directory(fresh / extra);
    if (extra.ends_with(".DRB") || extra == "777.drb") WriteFile(fresh / extra, "foreign");
    if (extra.starts_with("sub/")) fs::create_hard_link(fresh / name, fresh / extra);
    const Contents before = ContentsOf(fresh.path());
    ExpectReport(Split({fresh / name, size, !newFolder.empty(), newFolder}), Outcome::Refused, title, text);
    EXPECT_EQ(ContentsOf(fresh.path()), before);
  }
}

TEST_F(SplitTest, RefusesToWorkWithoutASource) {
  ExpectReport(Split({"", "abc", true, ".."}), Outcome::Refused, kReadErrorTitle, kNoSource);
}

// What would stop the split half-way is found before anything is created,
// and a new-folder name that is a symbolic link is never followed.
TEST_F(SplitTest, FindsABadTargetBeforeCreatingAnything) {
  fs::create_directory(folder / "002.drb");
  ExpectFailure(SplitInto("5"), EISDIR, folder / "002.drb");
  TempFolder elsewhere;
  fs::create_directory_symlink(elsewhere.path(), folder / "sub");
  ExpectFailure(SplitInto("5", "sub"), kSymbolicLink, folder / "sub");
  EXPECT_TRUE(FolderEntries(elsewhere.path()).empty());
  ExpectFailure(SplitInto("5", "f"), ENOTDIR, source);
  EXPECT_EQ(FolderEntries(folder.path()), (Strings{"002.drb", "f", "sub"}));
}

// One operation per folder: a second one on a folder in use writes nothing.
TEST_F(SplitTest, RefusesAFolderInUse) {
  const Folder held = Folder::Open(folder.path());
  held.Lock();
  ExpectFailure(SplitInto("5"), kFolderBusy, folder.path());
  EXPECT_EQ(FolderEntries(folder.path()), Strings{"f"});
}

// Infa.sha256 checks the parts and the joined file with sha256sum.
TEST_F(SplitTest, ChecksumsOnRequestAreWhatSha256sumChecks) {
  WriteFile(folder / "my film.avi", PatternBytes(2500));
  ASSERT_EQ(Split({folder / "my film.avi", "1000", true, "set", true}).outcome, Outcome::Done);
  EXPECT_EQ(std::ranges::count(ReadFile(folder / "set/Infa.sha256"), '\n'), 4);
  fs::copy_file(folder / "my film.avi", folder / "set/my film.avi");
  const std::string check = "cd " + folder / "set" + " && sha256sum --quiet --strict -c Infa.sha256";
  EXPECT_EQ(std::system(check.c_str()), 0);
}

// A later split into the same folder, without checksums, takes away the
// checksum file that would describe other parts, the earlier parts beyond
// its own, and what a killed split left hidden; other hidden files stay,
// ".drb" or not.
TEST_F(SplitTest, ANewSetTakesAwayWhatDescribedTheOldOne) {
  MakeOldSet(folder.path(), "f", 4);
  WriteFile(folder / ".parcelo-0stale9z", "left by a kill");
  WriteFile(folder / ".parcelo-keep", "someone else's");
  WriteFile(folder / ".x.drb", "hidden: no join takes it");
  ASSERT_EQ(SplitInto("5").outcome, Outcome::Done);
  EXPECT_EQ(FolderEntries(folder.path()), (Strings{".parcelo-keep", ".x.drb", "001.drb", "002.drb", "Infa.inf", "f"}));
}

// A split that stops before its commit, however it stops, leaves the folder as it was: the
// source's earlier set whole, nothing hidden beside it, no new folder. No memory for the copy is an
// error naming the file being written.
TEST_F(SplitTest, StoppedSplitLeavesTheEarlierSetAsItWas) {
  MakeOldSet(folder.path(), "f", 4);
  const Contents before = ContentsOf(folder.path());
  const Progress cancel = StopAtPart<OperationCancelled>(3);

  // How it stops, unnamed temporaries refused so, the new folder, the error (none: cancelled) and
  // its file. Without a progress that stops it, the disk is full after 8 bytes.
  const std::tuple<const char*, Progress, int, std::string, int, std::string> rows[] = {
      {"cancel", cancel, 0, "", 0, ""},
      {"cancel, no unnamed file", cancel, EOPNOTSUPP, "", 0, ""},
      {"no memory", StopAtPart<std::bad_alloc>(2), 0, "set", kOutOfMemory, "set/002.drb"},
      {"full", nullptr, 0, "", ENOSPC, "003.drb"},
      {"full, no unnamed file", nullptr, EOPNOTSUPP, "set", ENOSPC, "set/003.drb"}};
  for (const auto& [what, progress, unnamedError, newFolder, code, path] : rows) {
    SCOPED_TRACE(what);
    FaultySysCalls layer = FaultySysCalls::FullDisk(progress ? 0 : 8);
    layer.unnamedError = unnamedError;
    ScopedSysCalls scope(layer);
    const Report report = Split({source, "4", !newFolder.empty(), newFolder, true}, progress);
    code ? ExpectFailure(report, code, folder / path)
         : ExpectReport(report, Outcome::Cancelled, kSplitCancelledTitle, kCancelled);
    EXPECT_EQ(ContentsOf(folder.path()), before);
  }
}

// A commit that fails half-way may leave new parts beside old ones, never an
// info file that a join would take for a whole set's: the old info and
// checksum files go first.
TEST_F(SplitTest, AHalfCommittedFolderIsNoSet) {
  MakeOldSet(folder.path(), "f", 4);
  Contents before = ContentsOf(folder.path());
  std::erase_if(before, [](const auto& entry) { return entry.first.starts_with("Infa."); });
  FaultySysCalls layer;
  layer.errors["Rename"] = EIO;
  {
    ScopedSysCalls scope(layer);
    ExpectFailure(SplitInto("4"), EIO, folder / "001.drb");
  }
  EXPECT_EQ(ContentsOf(folder.path()), before);
  ExpectFailure(Join(folder.path()), kNoInfoFile, folder / "Infa.inf");
}

// A thousand parts wait for their commit under a low limit of open files:
// the split raises it where the hard limit allows, otherwise each part waits
// closed under a hidden name.
TEST_F(SplitTest, ThousandPartsWaitForTheCommitUnderALowOpenFileLimit) {
  WriteFile(source, PatternBytes(1000));
  for (const bool hardLimitToo : {false, true}) {
    const auto split = [&] {
      rlimit limit{};
      getrlimit(RLIMIT_NOFILE, &limit);
      limit.rlim_cur = 64;
      if (hardLimitToo) limit.rlim_max = 64;
      setrlimit(RLIMIT_NOFILE, &limit);
      const bool done = SplitInto("1", "set").outcome == Outcome::Done;
      getrlimit(RLIMIT_NOFILE, &limit);
      const Strings entries = FolderEntries(folder / "set");  // the info file last, nothing hidden
      const bool whole = entries.size() == 1001 && entries[0] == "001.drb";
      _exit(done && whole && (limit.rlim_cur > 1000) != hardLimitToo ? 0 : 1);
    };
    EXPECT_EXIT(split(), ::testing::ExitedWithCode(0), "") << hardLimitToo;
  }
}

// A source that shrinks while read is an error, never a short part.
TEST_F(SplitTest, AShrinkingSourceIsAnError) {
  WriteFile(source, std::string(12 << 20, 'x'));
  const Progress shrink = [&](const ProgressReport& r) {
    if (r.part == 2) fs::resize_file(source, 6 << 20);
  };
  ExpectFailure(SplitInto("5242880", "", shrink), kUnexpectedEnd, source);
  EXPECT_EQ(FolderEntries(folder.path()), Strings{"f"});
}

// Interrupted calls are made again and short ones continued.
TEST_F(SplitTest, SurvivesInterruptedAndShortCalls) {
  const std::string bytes = PatternBytes(9 << 20);
  WriteFile(source, bytes);
  FaultySysCalls faults;
  faults.interrupt = true;
  faults.maxBytesPerCall = 65539;
  ScopedSysCalls scope(faults);
  ASSERT_EQ(SplitInto("3000000").outcome, Outcome::Done);
  EXPECT_GT(faults.interruptedCalls, 50);
  EXPECT_TRUE(ReadFile(folder / "001.drb") + ReadFile(folder / "002.drb") + ReadFile(folder / "003.drb") +
                  ReadFile(folder / "004.drb") ==
              bytes);
}

TEST_F(SplitTest, ReportsProgressPartByPartUpToTheLastByte) {
  WriteFile(source, PatternBytes(9 << 20));
  std::vector<ProgressReport> reports;
  const Progress progress = [&](const ProgressReport& r) { reports.push_back(r); };
  ASSERT_EQ(SplitInto("3000000", "", progress).outcome, Outcome::Done);
  const ProgressReport& last = reports.back();
  EXPECT_EQ(std::tuple(reports.size() > 4, reports.front().part, last.part, last.parts, last.bytesDone),
            std::tuple(true, 1u, 4u, 4u, std::uint64_t{9 << 20}));
}

}  // namespace
}  // namespace parcelo::testing
