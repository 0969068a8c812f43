#include "join/join.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <map>

#include "operation/messages.h"
#include "split/split.h"
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
const std::string kZeros(64, '0');

struct JoinTest : ::testing::Test {
  testing::TempFolder folder;

  void MakeSet(const std::string& info, const std::vector<std::pair<std::string, std::string>>& parts) {
    WriteFile(folder / "Infa.inf", info);
    for (const auto& [name, bytes] : parts) WriteFile(folder / name, bytes);
  }
  Report JoinFolder(const FolderLister& list = ListFolder, const Progress& progress = {}) {
    return Join(folder.path(), list, progress);
  }
  void ExpectRefusal(const Report& report, const std::string& text) {
    ExpectReport(report, Outcome::Refused, messages::kFolderErrorTitle, text);
  }
};

TEST_F(JoinTest, GivesBackWhatTheSplitCutAgainAndAgain) {
  const std::string bytes = testing::PatternBytes(3000);
  WriteFile(folder / "film.avi", bytes);
  ASSERT_EQ(Split({folder / "film.avi", "3", false, ""}).outcome, Outcome::Done);  // 1000 parts
  WriteFile(folder / "notes.txt", "not a part");
  WriteFile(folder / "film.avi", "changed");  // the set lies beside its source: the join replaces it
  fs::permissions(folder / "film.avi", fs::perms(04750));
  for (int time = 0; time < 2; ++time) {
    ExpectReport(JoinFolder(), Outcome::Done, messages::kJoinDoneTitle,
                 "Поздравляем! Файл собран и сохранен под исходным именем " + (folder / "film.avi") + ".");
    EXPECT_EQ(ReadFile(folder / "film.avi"), bytes);
    // It keeps its permissions, never a setuid bit.
    EXPECT_EQ(fs::status(folder / "film.avi").permissions(), fs::perms(0750));
  }
}

// Names in Russian, Ukrainian and French come back unchanged, and a set
// made on Russian Windows is joined under its name in UTF-8.
TEST_F(JoinTest, NamesInAnyScriptComeBackUnchanged) {
  for (const std::string name : {"Фильм.avi", "Отчёт №1.doc", "ёжик.txt", "Їжак.txt", "café.txt"}) {
    testing::TempFolder set;
    WriteFile(set / name, "0123456789");
    ASSERT_EQ(Split({set / name, "4", false, ""}).outcome, Outcome::Done) << name;
    fs::remove(set / name);
    ExpectReport(Join(set.path(), ListFolder), Outcome::Done, messages::kJoinDoneTitle,
                 "Поздравляем! Файл собран и сохранен под исходным именем " + (set / name) + ".");
    EXPECT_EQ(ReadFile(set / name), "0123456789") << name;
  }
  MakeSet("\xD4\xE8\xEB\xFC\xEC.avi\r\n", {{"001.drb", "from Windows"}});
  ASSERT_EQ(JoinFolder().outcome, Outcome::Done);
  EXPECT_EQ(ReadFile(folder / "Фильм.avi"), "from Windows");
}

TEST_F(JoinTest, AppendsLeftoversSkipsGapsAndEmptyParts) {
  MakeSet("  out.bin  \r\n", {{"001.drb", "ab"}, {"002.DRB", ""}, {"003.drb", "cd"}, {"007.drb", "ef"}});
  ASSERT_EQ(JoinFolder().outcome, Outcome::Done);
  EXPECT_EQ(ReadFile(folder / "out.bin"), "abcdef");
}

TEST_F(JoinTest, RefusesFoldersThatHoldNoSet) {
  WriteFile(folder / "readme.txt", "x");  // no parts: the info file is not even looked for
  ExpectRefusal(JoinFolder(), messages::kNoParts);
  MakeSet("out.bin\r\n", {{"001.drb", "ab"}});
  const auto partOnly = [](const std::string& path) {
    auto entries = ListFolder(path);
    std::erase_if(entries, [](const FolderEntry& entry) { return entry.name != "001.drb"; });
    return entries;
  };
  ExpectRefusal(JoinFolder(partOnly), messages::kTooFewFiles);
  EXPECT_FALSE(fs::exists(folder / "out.bin"));
}

TEST_F(JoinTest, RefusesNamesThatLeaveTheFolderOrDestroyAnInput) {
  fs::create_directory(folder / "sub");
  WriteFile(folder / "alias", "");
  for (const std::string& info :
       Strings{"\r\n", "   \r\n", ".\r\n", "..\r\n", "../escape\r\n", "/tmp/escape\r\n", "sub/x\r\n", "Infa.inf\r\n",
               "001.drb\r\n", std::string("a\0b\r\n", 5), "bell\a\r\n", std::string(256, 'a') + "\r\n", "alias\r\n"}) {
    fs::remove(folder / "alias");
    MakeSet(info, {{"001.drb", "part one"}});
    fs::create_hard_link(folder / "001.drb", folder / "alias");  // the part under another name
    ExpectRefusal(JoinFolder(), messages::kBadOutputName);
    EXPECT_EQ(FolderEntries(folder.path()), (Strings{"001.drb", "Infa.inf", "alias", "sub"})) << info;
    EXPECT_EQ(ReadFile(folder / "001.drb"), "part one");
  }
  EXPECT_TRUE(FolderEntries(folder / "sub").empty());
}

TEST_F(JoinTest, HugeInfoFileIsReadOnlyAtItsStart) {
  MakeSet("", {{"001.drb", "x"}});
  ExpectFailure(JoinFolder(), kUnexpectedEnd, folder / "Infa.inf");  // no byte at all
  fs::resize_file(folder / "Infa.inf", 1ull << 30);                  // sparse: a gigabyte of NUL bytes
  ExpectRefusal(JoinFolder(), messages::kBadOutputName);
  MakeSet("film.avi\r\n", {});
  fs::resize_file(folder / "Infa.inf", 1ull << 30);
  testing::FaultySysCalls counting;
  {
    ScopedSysCalls scope(counting);
    EXPECT_EQ(JoinFolder().outcome, Outcome::Done);
  }
  EXPECT_EQ(ReadFile(folder / "film.avi"), "x");
  EXPECT_EQ(counting.read, 4097u + 1u);  // the start of the info file, and the part
}

// A part is never silently left out: what is no file stops the join, and
// nothing is written.
TEST_F(JoinTest, EntryThatIsNoFileStopsTheJoin) {
  MakeSet("out.bin\r\n", {{"001.drb", "real part"}});
  ASSERT_EQ(symlink("/etc/passwd", (folder / "002.drb").c_str()), 0);
  ExpectFailure(JoinFolder(), kSymbolicLink, folder / "002.drb");
  fs::remove(folder / "002.drb");
  fs::create_directory(folder / "003.drb");
  ExpectFailure(JoinFolder(), EISDIR, folder / "003.drb");
  fs::remove(folder / "003.drb");
  ASSERT_EQ(mkfifo((folder / "004.drb").c_str(), 0600), 0);  // reading it would hang
  ExpectFailure(JoinFolder(), kNotRegularFile, folder / "004.drb");
  fs::remove(folder / "004.drb");
  EXPECT_EQ(FolderEntries(folder.path()), (Strings{"001.drb", "Infa.inf"}));
  // The info file itself is never read through a link or from a FIFO.
  testing::TempFolder secret;
  WriteFile(secret / "key", "root-only line\r\n");
  fs::remove(folder / "Infa.inf");
  fs::create_symlink(secret / "key", folder / "Infa.inf");
  ExpectFailure(JoinFolder(), kSymbolicLink, folder / "Infa.inf");
  fs::remove(folder / "Infa.inf");
  ASSERT_EQ(mkfifo((folder / "Infa.inf").c_str(), 0600), 0);
  ExpectFailure(JoinFolder(), kNotRegularFile, folder / "Infa.inf");
  EXPECT_EQ(FolderEntries(folder.path()), (Strings{"001.drb", "Infa.inf"}));
}

// A part swapped after the listing (for a link, a FIFO or another file)
// stops the join; nothing of it reaches an output.
TEST_F(JoinTest, PartSwappedAfterTheListingStopsTheJoin) {
  testing::TempFolder secret;
  WriteFile(secret / "key", "secret bytes");
  const std::vector<std::pair<std::function<void(const std::string&)>, int>> swaps = {
      {[&](const std::string& part) { fs::create_symlink(secret / "key", part); }, kSymbolicLink},
      {[&](const std::string& part) { ASSERT_EQ(mkfifo(part.c_str(), 0600), 0); }, kNotRegularFile},
      {[&](const std::string& part) { WriteFile(part, "another file"); }, kFileReplaced}};
  for (const auto& [swap, code] : swaps) {
    MakeSet("out.bin\r\n", {{"001.drb", "one"}, {"002.drb", "two"}});
    const FolderLister swapAfterListing = [&](const std::string& path) {
      auto entries = ListFolder(path);
      // Made beside it, then moved over it: a new file, never the old one's inode.
      swap(folder / "swapped");
      fs::rename(folder / "swapped", folder / "002.drb");
      return entries;
    };
    ExpectFailure(JoinFolder(swapAfterListing), code, folder / "002.drb");
    EXPECT_FALSE(fs::exists(folder / "out.bin"));
    fs::remove(folder / "002.drb");
  }
}

TEST_F(JoinTest, FailuresKeepTheOldOutputAndLeaveNothingOpenOrBehind) {
  MakeSet("out.bin\r\n", {{"001.drb", std::string(5000, 'a')}, {"002.drb", std::string(5000, 'b')}});
  WriteFile(folder / "out.bin", "previous output");
  const Strings before = FolderEntries(folder.path());
  const auto descriptors = testing::OpenDescriptorCount();
  testing::FaultySysCalls full;
  full.maxBytesPerCall = 1000;
  full.writeError = ENOSPC;
  full.writeErrorAfter = 7000;
  testing::FaultySysCalls silentlyFull = full;  // writes that move nothing mean a full disk too
  silentlyFull.writeError = 0;
  testing::FaultySysCalls unreadable;
  unreadable.openErrorName = "002.drb";
  testing::FaultySysCalls closeFails;
  closeFails.closeError = EIO;
  testing::FaultySysCalls renameFails;
  renameFails.renameError = EXDEV;
  testing::FaultySysCalls namedTemporary = renameFails;
  namedTemporary.unnamedError = EOPNOTSUPP;
  const std::vector<std::tuple<testing::FaultySysCalls*, int, std::string>> faults = {
      {&full, ENOSPC, folder / "out.bin"},       {&silentlyFull, ENOSPC, folder / "out.bin"},
      {&unreadable, EACCES, folder / "002.drb"}, {&closeFails, EIO, folder / "out.bin"},
      {&renameFails, EXDEV, folder / "out.bin"}, {&namedTemporary, EXDEV, folder / "out.bin"}};
  for (const auto& [layer, code, path] : faults) {
    ScopedSysCalls scope(*layer);
    ExpectFailure(JoinFolder(), code, path);
  }
  EXPECT_EQ(testing::OpenDescriptorCount(), descriptors);
  EXPECT_EQ(ReadFile(folder / "out.bin"), "previous output");
  EXPECT_EQ(FolderEntries(folder.path()), before);
  const Progress cancel = [](const ProgressReport& report) {
    if (report.part == 2) throw OperationCancelled{};
  };
  ExpectReport(JoinFolder(ListFolder, cancel), Outcome::Cancelled, messages::kJoinCancelledTitle, messages::kCancelled);
  EXPECT_EQ(FolderEntries(folder.path()), before);
  ExpectFailure(Join(folder / "missing", ListFolder), ENOENT, folder / "missing");
}

// Each way a set with checksums can be damaged stops the join and the
// check with an error naming the first thing wrong; the old output stays.
TEST_F(JoinTest, ChecksumsStopTheJoinOfADamagedSet) {
  const std::string bytes = testing::PatternBytes(5000);
  WriteFile(folder / "film.avi", bytes);
  ASSERT_EQ(Split({folder / "film.avi", "2000", true, "set", true}).outcome, Outcome::Done);
  const std::string set = folder / "set", sums = set + "/Infa.sha256";
  ExpectReport(Check(set, ListFolder), Outcome::Done, messages::kCheckDoneTitle,
               "Все 3 части(ей) в директории " + set + " совпадают с контрольными суммами.");
  std::map<std::string, std::string> good;
  for (const auto& name : FolderEntries(set)) good[name] = ReadFile(set + "/" + name);
  const auto replaced = [&](std::string text, const std::string& from, const std::string& to) {
    return text.replace(text.find(from), from.size(), to);
  };
  const std::string& text = good["Infa.sha256"];
  const std::string wholeDigest = text.substr(text.rfind('\n', text.size() - 2) + 1, 64);
  const std::vector<std::tuple<const char*, std::function<void()>, int, std::string>> rows = {
      {"a part differs", [&] { WriteFile(set + "/002.drb", std::string(2000, 'x')); }, kChecksumMismatch,
       set + "/002.drb"},
      {"a listed part is missing", [&] { fs::remove(set + "/002.drb"); }, kChecksumMismatch, set + "/002.drb"},
      {"a part is not listed", [&] { WriteFile(set + "/004.drb", "more"); }, kChecksumMismatch, set + "/004.drb"},
      {"the first in order counts",
       [&] {
         fs::remove(set + "/003.drb");
         WriteFile(set + "/002.drb", "x");
       },
       kChecksumMismatch, set + "/002.drb"},
      {"the whole file differs", [&] { WriteFile(sums, replaced(good["Infa.sha256"], wholeDigest, kZeros)); },
       kChecksumMismatch, set + "/film.avi"},
      {"another whole file", [&] { WriteFile(sums, replaced(good["Infa.sha256"], "  film.avi", "  other.avi")); },
       kBadChecksumFile, sums},
      {"malformed", [&] { WriteFile(sums, good["Infa.sha256"] + "junk\n"); }, kBadChecksumFile, sums},
      {"too large", [&] { WriteFile(sums, std::string(300000, '\n')); }, kBadChecksumFile, sums},
      {"a link", [&] { fs::remove(sums), fs::create_symlink(set + "/Infa.inf", sums); }, kSymbolicLink, sums},
      {"a FIFO", [&] { fs::remove(sums), mkfifo(sums.c_str(), 0600); }, kNotRegularFile, sums}};
  for (const auto& [what, damage, code, path] : rows) {
    fs::remove_all(set);
    fs::create_directory(set);
    for (const auto& [name, content] : good) WriteFile(set + "/" + name, content);
    WriteFile(set + "/film.avi", "previous output");
    damage();
    const Strings before = FolderEntries(set);
    SCOPED_TRACE(what);
    ExpectFailure(Join(set, ListFolder), code, path);
    ExpectFailure(Check(set, ListFolder), code, path);
    EXPECT_EQ(ReadFile(set + "/film.avi"), "previous output");
    EXPECT_EQ(FolderEntries(set), before);
  }
  fs::remove(sums);
  ExpectReport(Check(set, ListFolder), Outcome::Refused, messages::kCheckErrorTitle, messages::kNoChecksums);
}

TEST_F(JoinTest, RefusesAFolderAnotherOperationHolds) {
  MakeSet("out.bin\r\n", {{"001.drb", "one"}});
  const int holder = open(folder.path().c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_EQ(flock(holder, LOCK_EX), 0);
  ExpectFailure(JoinFolder(), kFolderBusy, folder.path());
  EXPECT_FALSE(fs::exists(folder / "out.bin"));
  close(holder);
  EXPECT_EQ(JoinFolder().outcome, Outcome::Done);
}

TEST_F(JoinTest, NewOutputIsAsPrivateAsTheFirstPart) {
  MakeSet("out.bin\r\n", {{"001.drb", "one"}, {"002.drb", "two"}});
  fs::permissions(folder / "001.drb", fs::perms(0640));
  const mode_t previous = umask(027);
  fs::permissions(folder / "002.drb", fs::perms(0666));
  ASSERT_EQ(JoinFolder().outcome, Outcome::Done);
  umask(previous);
  EXPECT_EQ(fs::status(folder / "out.bin").permissions(), fs::perms(0640));
}

}  // namespace
}  // namespace parcelo
