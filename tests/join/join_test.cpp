#include "join/join.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <regex>

#include "join/check.h"
#include "operation/messages.h"
#include "split/split.h"
#include "support/expect_file_error.h"
#include "support/faulty_sys_calls.h"
#include "support/other_user.h"
#include "support/temp_folder.h"

namespace parcelo::testing {
namespace {

namespace fs = std::filesystem;

struct JoinTest : ::testing::Test {
  TempFolder folder;

  void MakeSet(const std::string& info, const std::vector<std::pair<std::string, std::string>>& parts) {
    WriteFile(folder / "Infa.inf", info);
    for (const auto& [name, bytes] : parts) WriteFile(folder / name, bytes);
  }
  Report JoinFolder(const Progress& progress = {}, const ListingSeen& listed = {}, const MayReplaceEdited& ask = {}) {
    return Join(folder.path(), progress, listed, ask);
  }
};

// The set lies beside its source: the join replaces it, keeping those of
// its permissions the parts have (read and write), never a setuid bit, and
// asks nothing while the source is older than the parts or holds their
// bytes (a second join). A source
// edited after the split (after its first part) is replaced only after a yes; a no, or no one to
// ask, cancels the join and leaves the folder as it was.
TEST_F(JoinTest, GivesBackWhatTheSplitCutUnlessTheSourceWasEditedSince) {
  const std::string bytes = PatternBytes(3000), name = folder / "Отчёт №1.avi";
  WriteFile(name, bytes);
  ASSERT_EQ(Split({name, "3", false, ""}).outcome, Outcome::Done);  // 1000 parts
  WriteFile(folder / "notes.txt", "not a part");
  WriteFile(folder / ".parcelo-0stale9z", "left by a killed join");  // the join removes it
  // The file found, hours after the split it was modified, the answer (none: no one asked), whether it is replaced.
  const std::tuple<std::string, int, std::optional<bool>, bool> rows[] = {
      {"changed", -1, {}, true}, {bytes, 1, {}, true},       {"edited", 1, false, false},
      {"edited", 1, {}, false},  {"edited!", 1, true, true}, {"edited", 0, {}, false}};
  // A part copied again after the edit; and an edit in the split's second has the parts' time.
  fs::last_write_time(folder / "1000.drb", fs::last_write_time(folder / "001.drb") + std::chrono::hours(2));
  for (const auto& [found, hours, reply, replaces] : rows) {
    WriteFile(name, found);
    if (hours < 0) fs::permissions(name, fs::perms(04750));
    fs::last_write_time(FsPath(name), fs::last_write_time(folder / "001.drb") + std::chrono::hours(hours));
    Strings asked;
    const MayReplaceEdited ask = [&](const std::string& edited) { return asked.push_back(edited), *reply; };
    const Report report = JoinFolder({}, {}, reply ? ask : MayReplaceEdited());
    ExpectReport(
        report, replaces ? Outcome::Done : Outcome::Cancelled,
        replaces ? messages::kJoinDoneTitle : messages::kJoinCancelledTitle,
        replaces ? "Поздравляем! Файл собран и сохранен под исходным именем " + name + "." : messages::kCancelled);
    EXPECT_EQ(report.message.path, replaces ? name : "");  // the path the window keeps on one line
    EXPECT_TRUE(ReadFile(name) == (replaces ? bytes : found));
    EXPECT_EQ(fs::status(name).permissions(), fs::perms(0640));
    EXPECT_EQ(asked, reply ? Strings{"Отчёт №1.avi"} : Strings());
    EXPECT_EQ(FolderEntries(folder.path()).size(), 1003u);  // no temporary stays
  }
}

// A set made on Russian Windows is joined under its name in UTF-8, a part
// renamed "002.DRB" by a copy tool included; a new output is as private as
// the first part. Of an info file only the start is read, and one without
// a byte is an error.
TEST_F(JoinTest, JoinsInNumberOrderReadingOnlyTheInfoFileStartAndTheParts) {
  MakeSet("", {{"001.drb", "ab"}, {"002.DRB", "cd"}, {"003.drb", "ef"}});
  ExpectFailure(JoinFolder(), kUnexpectedEnd, folder / "Infa.inf");
  MakeSet("  \xD4\xE8\xEB\xFC\xEC.avi  \r\n", {});
  fs::resize_file(folder / "Infa.inf", 1ull << 30);  // sparse: a gigabyte of NUL bytes after the name
  fs::permissions(folder / "001.drb", fs::perms(0640));
  const mode_t previous = umask(022);
  fs::permissions(folder / "003.drb", fs::perms(0666));
  FaultySysCalls counting;
  ScopedSysCalls scope(counting);
  ASSERT_EQ(JoinFolder().outcome, Outcome::Done);
  umask(previous);
  EXPECT_EQ(ReadFile(folder / "Фильм.avi"), "abcdef");
  EXPECT_EQ(fs::status(folder / "Фильм.avi").permissions(), fs::perms(0640));
  EXPECT_EQ(counting.read, 4097u + 6u);  // the start of the info file, and the parts
}

// What the split never leaves is no set: a gap, a part of the wrong size, a
// foreign ".drb" entry or a missing info file stops the join and the check
// before anything is written, naming what is wrong; so do output names that
// leave the folder or would destroy an input.
TEST_F(JoinTest, RefusesASetThatIsNotWholeAndNamesThatLeaveTheFolderOrDestroyAnInput) {
  const std::vector<std::tuple<const char*, std::vector<std::pair<std::string, std::string>>, int, std::string>> rows =
      {{"a gap", {{"001.drb", "ab"}, {"002.drb", "ab"}, {"004.drb", "a"}}, kMissingPart, "003.drb"},
       {"a short middle part", {{"001.drb", "ab"}, {"002.drb", "a"}, {"003.drb", "a"}}, kWrongPartSize, "002.drb"},
       {"a short first part", {{"001.drb", "a"}, {"002.drb", "ab"}, {"003.drb", "a"}}, kWrongPartSize, "001.drb"},
       {"a larger last part", {{"001.drb", "ab"}, {"002.drb", "abc"}}, kWrongPartSize, "002.drb"},
       {"an empty last part", {{"001.drb", "ab"}, {"002.drb", ""}}, kWrongPartSize, "002.drb"},
       {"a name that is no number", {{"001.drb", "ab"}, {"002.drb", "a"}, {"x.drb", "a"}}, kInvalidName, "x.drb"},
       {"a number spelled twice", {{"001.drb", "ab"}, {"0001.drb", "ab"}, {"001.DRB", "a"}}, kInvalidName, "0001.drb"},
       {"no info file", {{"001.drb", "ab"}, {"002.drb", "a"}}, kNoInfoFile, "Infa.inf"}};
  for (const auto& [what, parts, code, named] : rows) {
    SCOPED_TRACE(what);
    fs::remove_all(folder.path()), fs::create_directory(folder.path());
    MakeSet("out.bin\r\n", parts);
    if (code == kNoInfoFile) fs::remove(folder / "Infa.inf");
    const Strings before = FolderEntries(folder.path());
    ExpectFailure(JoinFolder(), code, folder / named);
    EXPECT_EQ(FolderEntries(folder.path()), before);
  }
  // A folder without parts is refused before its info file is looked for.
  fs::remove_all(folder.path()), fs::create_directory(folder.path()), fs::create_directory(folder / "sub");
  ExpectReport(JoinFolder(), Outcome::Refused, messages::kFolderErrorTitle, messages::kNoParts);
  WriteFile(folder / "001.drb", "part one");
  fs::create_hard_link(folder / "001.drb", folder / "alias");  // the part under another name
  // The info file, the checksum file and parts in any letter case, Unicode's too ("ſ" folds to "s").
  for (const std::string& info :
       Strings{"\r\n", "..\r\n", "/tmp/escape\r\n", "sub/x\r\n", "Infa.inf\r\n", "INFA.INF\r\n", "infa.SHA256\r\n",
               "Infa.ſha256\r\n", "001.drb\r\n", "003.DRB\r\n", "ОТЧЁТ.DrB\r\n", "bell\a\r\n",
               std::string(256, 'a') + "\r\n", "alias\r\n", ".parcelo-0stale9z\r\n"}) {
    WriteFile(folder / "Infa.inf", info);
    ExpectReport(JoinFolder(), Outcome::Refused, messages::kFolderErrorTitle, messages::kBadOutputName);
    EXPECT_EQ(FolderEntries(folder.path()), (Strings{"001.drb", "Infa.inf", "alias", "sub"})) << info;
    EXPECT_EQ(ReadFile(folder / "001.drb"), "part one");
  }
  EXPECT_TRUE(FolderEntries(folder / "sub").empty());
}

// Whatever stops the join keeps the old output and leaves nothing open or
// behind. A part is never silently left out: what is no file stops the
// join, and so does a part swapped after the listing (made beside it, then
// moved over it) or grown. A folder another operation holds is not even listed.
TEST_F(JoinTest, FailuresKeepTheOldOutputAndLeaveNothingOpenOrBehind) {
  MakeSet("out.bin\r\n", {{"001.drb", std::string(5000, 'a')}, {"002.drb", std::string(5000, 'b')}});
  WriteFile(folder / "out.bin", "previous output");  // older than the parts: no edit to ask about
  fs::last_write_time(folder / "out.bin", fs::last_write_time(folder / "001.drb") - std::chrono::hours(1));
  const Strings before = FolderEntries(folder.path());
  const auto descriptors = OpenDescriptorCount();
  // A full disk (an error, or writes that move nothing) and a part that can't be opened; a failed
  // close or rename of the output is the replacement file's own case.
  for (const int error : {ENOSPC, 0, EACCES}) {
    FaultySysCalls layer = FaultySysCalls::FullDisk(error == EACCES ? 0 : 7000, 1000, error);
    layer.openErrorName = error == EACCES ? "002.drb" : "";
    ScopedSysCalls scope(layer);
    ExpectFailure(JoinFolder(), error ? error : ENOSPC, folder / (error == EACCES ? "002.drb" : "out.bin"));
  }
  // What takes the second part's place, the error, and whether it is there before the listing or only after it.
  const std::vector<std::tuple<std::function<void(const std::string&)>, int, bool>> rows = {
      {[&](const std::string& part) { fs::create_symlink(folder / "out.bin", part); }, kSymbolicLink, false},
      {[&](const std::string& part) { ASSERT_EQ(mkfifo(part.c_str(), 0600), 0); }, kNotRegularFile, true},
      {[&](const std::string& part) { WriteFile(part, std::string(5000, 'c')); }, kFileReplaced, true}};
  for (const auto& [make, code, afterListing] : rows) {
    fs::remove(folder / "002.drb");
    if (afterListing) WriteFile(folder / "002.drb", std::string(5000, 'b'));
    make(folder / (afterListing ? "swapped" : "002.drb"));
    const ListingSeen swap = [&](const std::vector<FolderEntry>&) {
      if (afterListing) fs::rename(folder / "swapped", folder / "002.drb");
    };
    ExpectFailure(JoinFolder({}, swap), code, folder / "002.drb");
    EXPECT_EQ(FolderEntries(folder.path()), before);
  }
  ExpectReport(JoinFolder(StopAtPart<OperationCancelled>(2)), Outcome::Cancelled, messages::kJoinCancelledTitle,
               messages::kCancelled);
  EXPECT_EQ(FolderEntries(folder.path()), before);
  EXPECT_EQ(OpenDescriptorCount(), descriptors);
  EXPECT_EQ(ReadFile(folder / "out.bin"), "previous output");
  ExpectFailure(Join(folder / "missing"), ENOENT, folder / "missing");
  ExpectFailure(JoinFolder({}, [&](auto&) { WriteFile(folder / "002.drb", std::string(6000, 'b')); }), kFileReplaced,
                folder / "002.drb");
  const Folder holder = Folder::Open(folder.path());
  holder.Lock();
  ExpectFailure(JoinFolder({}, [](auto&) { ADD_FAILURE() << "listed"; }), kFolderBusy, folder.path());
  EXPECT_EQ(FolderEntries(folder.path()), before);
}

// Each way a set with checksums can be damaged stops the join and the
// check with an error naming the first thing wrong; the old output stays.
TEST_F(JoinTest, ChecksumsStopTheJoinOfADamagedSet) {
  const std::string bytes = PatternBytes(5000);
  WriteFile(folder / "film.avi", bytes);
  ASSERT_EQ(Split({folder / "film.avi", "2000", true, "good", true}).outcome, Outcome::Done);
  WriteFile(folder / "good/film.avi", "previous output");
  const std::string set = folder / "set", sums = set + "/Infa.sha256", good = ReadFile(folder / "good/Infa.sha256");
  const auto edited = [&](const char* what, const std::string& with) {
    return std::regex_replace(good, std::regex(what), with);
  };
  const std::vector<std::tuple<const char*, std::function<void()>, int, std::string>> rows = {
      {"the listed last part is missing", [&] { fs::remove(set + "/003.drb"); }, kMissingPart, set + "/003.drb"},
      {"a part is not listed", [&] { WriteFile(sums, edited("003.drb", "004.drb")); }, kUnlistedPart, set + "/003.drb"},
      {"parts differ, the first in order counts",
       [&] { WriteFile(set + "/002.drb", std::string(2000, 'x')), WriteFile(set + "/003.drb", "y"); },
       kChecksumMismatch, set + "/002.drb"},
      {"malformed", [&] { WriteFile(sums, good + "junk\n"); }, kBadChecksumFile, sums},
      {"another whole file", [&] { WriteFile(sums, edited("film.avi", "other.avi")); }, kBadChecksumFile, sums},
      {"beyond the size limit", [&] { fs::resize_file(sums, 1u << 30); }, kBadChecksumFile, sums}};
  for (const auto& [what, damage, code, path] : rows) {
    fs::remove_all(set);
    fs::copy(folder / "good", set);
    damage();
    const Strings before = FolderEntries(set);
    SCOPED_TRACE(what);
    ExpectFailure(Join(set), code, path);
    ExpectFailure(Check(set), code, path);
    EXPECT_EQ(ReadFile(set + "/film.avi"), "previous output");
    EXPECT_EQ(FolderEntries(set), before);
  }
  // Renamed by a copy tool, in the folder or in the sums file, the parts are the same. The sums cover what
  // went into the output, also where a part changes right after its blocks were shared. The whole file's
  // line is for checks made without Parcelo: the part lines prove the output, which is not hashed again.
  FaultySysCalls changing;
  changing.errors.erase("CloneRange");
  changing.shared = [](Handle from, std::uint64_t count) {
    WriteFile("/proc/self/fd/" + std::to_string(from.value()), std::string(count, 'x'));
  };
  ScopedSysCalls scope(changing);
  for (const bool inFolder : {true, false}) {
    fs::remove_all(set);
    fs::copy(folder / "good", set);
    // The old output is older than the parts: no edits of the user's to ask about.
    fs::last_write_time(set + "/film.avi", fs::last_write_time(set + "/Infa.inf") - std::chrono::hours(1));
    std::string sumsText = edited("[0-9a-f]{64}(?=  film)", std::string(64, '0'));
    inFolder ? fs::rename(set + "/001.drb", set + "/001.DRB")
             : void(sumsText = std::regex_replace(sumsText, std::regex("002.drb"), "002.DRB"));
    WriteFile(sums, sumsText);
    EXPECT_EQ(Check(set).outcome, Outcome::Done) << inFolder;
    EXPECT_EQ(Join(set).outcome, Outcome::Done) << inFolder;
    EXPECT_EQ(ReadFile(set + "/film.avi"), bytes);
  }
  fs::remove(sums);
  ExpectReport(Check(set), Outcome::Refused, messages::kCheckErrorTitle, messages::kNoChecksums);
}

// In a shared sticky folder (as /tmp, or a group's) anyone may add a part to someone's set but replace none of
// theirs: a part of another user than the info file's owner is no part of it, for the join (naming
// it) and for a new split, which neither removes it nor replaces the set.
TEST_F(JoinTest, ASharedStickyFolderTakesNoOneElsesPartIntoASet) {
  if (!CanActAsOtherUser()) GTEST_SKIP() << "needs root to own a part as a second user";
  WriteFile(folder / "f", "0123456789a");  // 004.drb short, so that no part after it fits the set
  ASSERT_EQ(Split({folder / "f", "3", false, ""}).outcome, Outcome::Done);
  fs::permissions(folder.path(), fs::perms(01775));  // a group's: the kernel protects no one's files there
  WriteFile(folder / "005.drb", "xy");
  ASSERT_EQ(chown((folder / "005.drb").c_str(), kOtherUserId, kOtherUserId), 0);
  const Strings before = FolderEntries(folder.path());
  ExpectFailure(JoinFolder(), kOtherOwner, folder / "005.drb");
  const auto split = [&] { return Split({folder / "f", "5", false, ""}); };
  ExpectReport(split(), Outcome::Refused, messages::kSplitErrorTitle, messages::kForeignParts);
  EXPECT_EQ(FolderEntries(folder.path()), before);
  // A whole set of another user's, of a file of the same name, is theirs.
  for (const auto& name : before) ASSERT_EQ(chown((folder / name).c_str(), name == "f" ? 0 : kOtherUserId, 0), 0);
  ExpectReport(split(), Outcome::Refused, messages::kSplitErrorTitle, messages::ForeignSet("f"));
  // For that user it is their own older set of f, to be made again.
  fs::permissions(folder.path(), fs::perms(01777));
  EXPECT_EQ(RunAsOtherUser([&] { return split().outcome == Outcome::Done ? 0 : 1; }), 0);
}

}  // namespace
}  // namespace parcelo::testing
