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
#include "support/temp_folder.h"

namespace parcelo::testing {
namespace {

namespace fs = std::filesystem;
using namespace messages;
// Parts by name and size, each holding a letter of its own: "a" in the first, "b" in the second...
using Parts = std::vector<std::pair<std::string, std::size_t>>;

// Sets `file`'s time an hour before or after that of `other`.
void SetTimeBeside(const std::string& file, const std::string& other, int hours) {
  fs::last_write_time(FsPath(file), fs::last_write_time(FsPath(other)) + std::chrono::hours(hours));
}

// Whatever happens, a join leaves no descriptor open.
struct JoinTest : ::testing::Test {
  TempFolder folder;
  const std::size_t descriptors = OpenDescriptorCount();

  void TearDown() override { EXPECT_EQ(OpenDescriptorCount(), descriptors); }
  void MakeSet(const std::string& info, const Parts& parts) {
    WriteFile(folder / "Infa.inf", info);
    char letter = 'a';
    for (const auto& [name, size] : parts) WriteFile(folder / name, std::string(size, letter++));
  }
};

// The set lies beside its source, in a thousand parts; the join finds there `found`, modified an
// hour before or after the split.
struct JoinBesideTheSourceTest : JoinTest {
  const std::string bytes = PatternBytes(3000), name = folder / "Отчёт №1.avi";

  void SetUp() override {
    WriteFile(name, bytes);
    ASSERT_EQ(Split({name, "3", false, ""}).outcome, Outcome::Done);
    WriteFile(folder / "notes.txt", "not a part");
  }
  Report JoinFound(const std::string& found, int hours, const MayReplaceEdited& ask = {}) {
    WriteFile(name, found);
    SetTimeBeside(name, folder / "001.drb", hours);
    return Join(folder.path(), {}, {}, ask);
  }
};

// A source older than the parts, or holding their bytes (a second join), is replaced without a
// question; one edited since the split only after a yes.
TEST_F(JoinBesideTheSourceTest, AsksBeforeReplacingASourceEditedSinceTheSplit) {
  const std::tuple<const char*, std::string, int, std::optional<bool>, bool> rows[] = {
      {"older", "changed", -1, {}, true},
      {"newer, the parts' bytes", bytes, 1, {}, true},
      {"edited, yes", "edited", 1, true, true},
      {"edited, no", "edited", 1, false, false},
      {"edited, no one to ask", "edited", 1, {}, false}};
  for (const auto& [what, found, hours, reply, replaced] : rows) {
    SCOPED_TRACE(what);
    Strings asked;
    const MayReplaceEdited ask = [&](const std::string& edited) {
      return asked.push_back(edited), *reply;
    };
    const Report report = JoinFound(found, hours, reply ? ask : MayReplaceEdited());
    ExpectReport(report, replaced ? Outcome::Done : Outcome::Cancelled,
                 replaced ? kJoinDoneTitle : kJoinCancelledTitle,
                 replaced ? "Поздравляем! Файл собран и сохранен под исходным именем " + name + "."
                          : kCancelled);
    EXPECT_EQ(report.message.path, replaced ? name : "");  // the path the window keeps on one line
    EXPECT_TRUE(ReadFile(name) == (replaced ? bytes : found));
    EXPECT_EQ(asked, reply ? Strings{"Отчёт №1.avi"} : Strings());
    EXPECT_EQ(FolderEntries(folder.path()).size(), 1003u);  // no temporary stays
  }
}

TEST_F(JoinBesideTheSourceTest, KeepsOnlyTheReadAndWriteRightsOfTheSourceItReplaces) {
  fs::permissions(name, fs::perms(04750));
  ASSERT_EQ(JoinFound("changed", -1).outcome, Outcome::Done);
  EXPECT_EQ(fs::status(name).permissions(), fs::perms(0640));
}

// A set made on Russian Windows: its info file names the output in code page 1251 between spaces,
// a gigabyte of NUL bytes follows (sparse), and a copy tool renamed a part "002.DRB". It is joined
// in number order, under the name in UTF-8, reading of the info file only its start.
TEST_F(JoinTest, JoinsASetMadeOnWindows) {
  MakeSet("  \xD4\xE8\xEB\xFC\xEC.avi  \r\n", {{"001.drb", 2}, {"002.DRB", 2}, {"003.drb", 2}});
  fs::resize_file(folder / "Infa.inf", 1ull << 30);
  FaultySysCalls counting;
  ScopedSysCalls scope(counting);
  ASSERT_EQ(Join(folder.path()).outcome, Outcome::Done);
  EXPECT_EQ(ReadFile(folder / "Фильм.avi"), "aabbcc");
  EXPECT_EQ(counting.read, 4097u + 6u);
}

TEST_F(JoinTest, GivesANewOutputTheRightsOfTheFirstPart) {
  MakeSet("out.bin\r\n", {{"001.drb", 2}, {"002.drb", 2}, {"003.drb", 2}});
  fs::permissions(folder / "001.drb", fs::perms(0640));
  fs::permissions(folder / "003.drb", fs::perms(0666));
  const mode_t previous = umask(022);
  const Report report = Join(folder.path());
  umask(previous);
  ASSERT_EQ(report.outcome, Outcome::Done);
  EXPECT_EQ(fs::status(folder / "out.bin").permissions(), fs::perms(0640));
}

// What the split never leaves is no set: the join stops before writing anything, naming what is
// wrong.
TEST_F(JoinTest, RefusesASetThatIsNotWhole) {
  const std::vector<std::tuple<const char*, int, std::string, Parts>> rows = {
      {"a gap", kMissingPart, "003.drb", {{"001.drb", 2}, {"002.drb", 2}, {"004.drb", 1}}},
      {"a short part", kWrongPartSize, "002.drb", {{"001.drb", 2}, {"002.drb", 1}, {"003.drb", 1}}},
      {"a larger last part", kWrongPartSize, "002.drb", {{"001.drb", 2}, {"002.drb", 3}}},
      {"an empty last part", kWrongPartSize, "002.drb", {{"001.drb", 2}, {"002.drb", 0}}},
      {"not a number", kInvalidName, "x.drb", {{"001.drb", 2}, {"002.drb", 1}, {"x.drb", 1}}},
      {"001 twice", kInvalidName, "0001.drb", {{"001.drb", 2}, {"0001.drb", 2}, {"001.DRB", 1}}},
      {"no info file", kNoInfoFile, "Infa.inf", {{"001.drb", 2}, {"002.drb", 1}}},
      {"an empty info file", kUnexpectedEnd, "Infa.inf", {{"001.drb", 2}}}};
  for (const auto& [what, code, named, parts] : rows) {
    SCOPED_TRACE(what);
    for (const std::string& name : FolderEntries(folder.path())) fs::remove(folder / name);
    MakeSet(code == kUnexpectedEnd ? "" : "out.bin\r\n", parts);
    if (code == kNoInfoFile) fs::remove(folder / "Infa.inf");
    const Strings before = FolderEntries(folder.path());
    ExpectFailure(Join(folder.path()), code, folder / named);
    EXPECT_EQ(FolderEntries(folder.path()), before);
  }
}

TEST_F(JoinTest, RefusesAFolderWithoutPartsBeforeLookingForItsInfoFile) {
  fs::create_directory(folder / "sub");
  ExpectReport(Join(folder.path()), Outcome::Refused, kFolderErrorTitle, kNoParts);
}

// A safe output name is a new file's in the folder: not empty, no control character, not too long,
// and not the info file, the checksum file or a part in any letter case, Unicode's too ("ſ" folds
// to "s"), nor a part's other name.
TEST_F(JoinTest, RefusesAnUnsafeOutputName) {
  fs::create_directory(folder / "sub");
  WriteFile(folder / "001.drb", "part one");
  fs::create_hard_link(folder / "001.drb", folder / "alias");
  for (const std::string& name : Strings{"", "..", "/tmp/escape", "sub/x", "Infa.inf", "INFA.INF",
                                         "infa.SHA256", "Infa.ſha256", "001.drb", "003.DRB",
                                         "ОТЧЁТ.DrB", "bell\a", std::string(256, 'a'), "alias"}) {
    SCOPED_TRACE(name);
    WriteFile(folder / "Infa.inf", name + "\r\n");
    ExpectReport(Join(folder.path()), Outcome::Refused, kFolderErrorTitle, kBadOutputName);
    EXPECT_EQ(FolderEntries(folder.path()), (Strings{"001.drb", "Infa.inf", "alias", "sub"}));
    EXPECT_EQ(ReadFile(folder / "001.drb"), "part one");
    EXPECT_TRUE(FolderEntries(folder / "sub").empty());
  }
}

// A set of two parts beside the output of an earlier join, older than the parts (else the join
// would ask before replacing it). Whatever stops the join leaves nothing behind and keeps the old
// output. A part is never silently left out: what is no regular file stops the join, there at the
// listing or moved over a part after it, and so does another file moved over a part or a part
// grown. A folder another operation holds is not even listed. A failed close or rename of the
// output is the replacement file's own case.
TEST_F(JoinTest, WhateverStopsItKeepsTheFolderAsItWas) {
  const std::string output = folder / "out.bin", part = folder / "002.drb", moved = folder / "new";
  MakeSet("out.bin\r\n", {{"001.drb", 5000}, {"002.drb", 5000}});
  WriteFile(output, "previous output");
  SetTimeBeside(output, folder / "001.drb", -1);
  const Strings before = FolderEntries(folder.path());
  std::optional<Folder> holder;
  FaultySysCalls unopenable;
  unopenable.openErrorName = "002.drb";
  struct Row {
    const char* what;
    int code;           // 0: cancelled as the second part begins
    std::string named;  // the file the error names
    std::function<void()> before = nullptr;
    ListingSeen listed = nullptr;
    FaultySysCalls layer = {};
  };
  const auto moveOver = [&](auto&) { fs::rename(moved, part); };
  const Row rows[] = {
      {"a full disk", ENOSPC, output, nullptr, nullptr, FaultySysCalls::FullDisk(7000, 1000)},
      {"writes that move nothing", ENOSPC, output, nullptr, nullptr,
       FaultySysCalls::FullDisk(7000, 1000, 0)},
      {"a part that can't be opened", EACCES, part, nullptr, nullptr, unopenable},
      {"a link for a part", kSymbolicLink, part,
       [&] {
         fs::remove(part);
         fs::create_symlink("out.bin", part);
       }},
      {"a FIFO moved over a part", kNotRegularFile, part,
       [&] { ASSERT_EQ(mkfifo(moved.c_str(), 0600), 0); }, moveOver},
      {"another file moved over a part", kFileReplaced, part,
       [&] { WriteFile(moved, std::string(5000, 'c')); }, moveOver},
      {"a part grown", kFileReplaced, part, nullptr,
       [&](auto&) { WriteFile(part, std::string(6000, 'b')); }},
      {"a cancel", 0, ""},
      {"a folder in use", kFolderBusy, folder.path(),  // last: the lock lasts to the end
       [&] { holder.emplace(Folder::Open(folder.path())).Lock(); },
       [](auto&) { ADD_FAILURE() << "listed"; }}};
  for (Row row : rows) {
    SCOPED_TRACE(row.what);
    if (row.before) row.before();
    ScopedSysCalls scope(row.layer);
    const Report report =
        Join(folder.path(), row.code ? Progress() : StopAtPart<OperationCancelled>(2), row.listed);
    row.code ? ExpectFailure(report, row.code, row.named)
             : ExpectReport(report, Outcome::Cancelled, kJoinCancelledTitle, kCancelled);
    EXPECT_EQ(FolderEntries(folder.path()), before);
    EXPECT_EQ(ReadFile(output), "previous output");
    fs::remove(part);
    WriteFile(part, std::string(5000, 'b'));
  }
}

TEST_F(JoinTest, AMissingFolderIsAnError) {
  ExpectFailure(Join(folder / "missing"), ENOENT, folder / "missing");
}

// A set split with checksums ("good"), beside an older output; each test joins a copy ("set").
struct JoinChecksumsTest : JoinTest {
  const std::string bytes = PatternBytes(5000), set = folder / "set", sums = set + "/Infa.sha256",
                    second = set + "/002.drb", third = set + "/003.drb";
  std::string good;

  void SetUp() override {
    WriteFile(folder / "film.avi", bytes);
    ASSERT_EQ(Split({folder / "film.avi", "2000", true, "good", true}).outcome, Outcome::Done);
    WriteFile(folder / "good/film.avi", "previous output");
    good = ReadFile(folder / "good/Infa.sha256");
    CopyTheGoodSet();
  }
  void CopyTheGoodSet() {
    fs::remove_all(set);
    fs::copy(folder / "good", set);
    SetTimeBeside(set + "/film.avi", set + "/Infa.inf", -1);  // no edits of the user's to ask about
  }
  std::string Edited(const char* what, const std::string& with) const {
    return std::regex_replace(good, std::regex(what), with);
  }
  void ExpectCheckedAndJoined() {
    EXPECT_EQ(Check(set).outcome, Outcome::Done);
    EXPECT_EQ(Join(set).outcome, Outcome::Done);
    EXPECT_TRUE(ReadFile(set + "/film.avi") == bytes);
  }
};

// The error names the first thing wrong, and the old output stays.
TEST_F(JoinChecksumsTest, ADamagedSetStopsTheJoinAndTheCheck) {
  const std::tuple<const char*, std::function<void()>, int, std::string> rows[] = {
      {"the listed last part is missing", [&] { fs::remove(third); }, kMissingPart, third},
      {"a part is not listed", [&] { WriteFile(sums, Edited("003.drb", "004.drb")); },
       kUnlistedPart, third},
      {"parts differ, the first in order counts",
       [&] {
         WriteFile(second, std::string(2000, 'x'));
         WriteFile(third, "y");
       },
       kChecksumMismatch, second},
      {"a part of the wrong size, found before its sum", [&] { WriteFile(second, "changed"); },
       kWrongPartSize, second},
      {"malformed", [&] { WriteFile(sums, good + "junk\n"); }, kBadChecksumFile, sums},
      {"another whole file", [&] { WriteFile(sums, Edited("film.avi", "other.avi")); },
       kBadChecksumFile, sums},
      {"beyond the size limit", [&] { fs::resize_file(sums, 1u << 30); }, kBadChecksumFile, sums}};
  for (const auto& [what, damage, code, path] : rows) {
    SCOPED_TRACE(what);
    CopyTheGoodSet();
    damage();
    const Strings before = FolderEntries(set);
    ExpectFailure(Join(set), code, path);
    ExpectFailure(Check(set), code, path);
    EXPECT_EQ(ReadFile(set + "/film.avi"), "previous output");
    EXPECT_EQ(FolderEntries(set), before);
  }
}

TEST_F(JoinChecksumsTest, PartsRenamedByACopyToolKeepTheirChecksums) {
  fs::rename(set + "/001.drb", set + "/001.DRB");
  WriteFile(sums, Edited("002.drb", "002.DRB"));
  ExpectCheckedAndJoined();
}

// The whole file's line is for checks made without Parcelo: the part lines prove the output.
TEST_F(JoinChecksumsTest, ProvesTheOutputByThePartLinesAlone) {
  WriteFile(sums, Edited("[0-9a-f]{64}(?=  film)", std::string(64, '0')));
  ExpectCheckedAndJoined();
}

TEST_F(JoinChecksumsTest, ChecksWhatWentIntoTheOutputWhereAPartChangesAfterSharingItsBlocks) {
  FaultySysCalls changing;
  changing.errors.erase("CloneRange");
  changing.shared = [](Handle from, std::uint64_t count) {
    WriteFile("/proc/self/fd/" + std::to_string(from.value()), std::string(count, 'x'));
  };
  ScopedSysCalls scope(changing);
  ExpectCheckedAndJoined();
}

TEST_F(JoinChecksumsTest, CheckRefusesASetWithoutChecksums) {
  fs::remove(sums);
  ExpectReport(Check(set), Outcome::Refused, kCheckErrorTitle, kNoChecksums);
}

}  // namespace
}  // namespace parcelo::testing
