#include "join/join.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>

#include "split/split.h"
#include "support/expect_file_error.h"
#include "support/faulty_sys_calls.h"
#include "support/temp_folder.h"

namespace parcelo {
namespace {

using testing::FolderEntries;
using testing::ReadFile;
using testing::WriteFile;
using Strings = std::vector<std::string>;

const std::string kBadName = "Файл Infa.inf не содержит допустимого имени исходного файла!";

struct JoinTest : ::testing::Test {
  testing::TempFolder folder;
  testing::RecordingSink boxes;

  void MakeSet(const std::string& info, const std::vector<std::pair<std::string, std::string>>& parts) {
    WriteFile(folder / "Infa.inf", info);
    for (const auto& [name, bytes] : parts) WriteFile(folder / name, bytes);
  }
  Outcome JoinFolder(const FolderLister& list = ListFolder) {
    boxes.messages.clear();
    return Join(folder.path(), list, boxes.sink());
  }
  void ExpectRefusal(const std::string& text) {
    ASSERT_EQ(boxes.messages.size(), 1u);
    EXPECT_EQ(boxes.messages[0].kind, MessageKind::Critical);
    EXPECT_EQ(boxes.messages[0].title, "Ошибка инициализации директории");
    EXPECT_EQ(boxes.messages[0].text, text);
  }
};

TEST_F(JoinTest, GivesBackWhatTheSplitCutAgainAndAgain) {
  const std::string bytes = testing::PatternBytes(3000);
  WriteFile(folder / "film.avi", bytes);
  ASSERT_EQ(Split({folder / "film.avi", "3", false, ""}, boxes.sink()), Outcome::Done);  // 1000 parts
  WriteFile(folder / "notes.txt", "not a part");
  WriteFile(folder / "film.avi", "changed");  // the set lies beside its source: the join replaces it
  std::filesystem::permissions(folder / "film.avi", std::filesystem::perms(0750));
  for (int time = 0; time < 2; ++time) {
    ASSERT_EQ(JoinFolder(), Outcome::Done);
    EXPECT_EQ(ReadFile(folder / "film.avi"), bytes);
    EXPECT_EQ(std::filesystem::status(folder / "film.avi").permissions(), std::filesystem::perms(0750));
    ASSERT_EQ(boxes.messages.size(), 1u);
    EXPECT_EQ(boxes.messages[0].title, "Слияние завершено");
    EXPECT_EQ(boxes.messages[0].text,
              "Поздравляем! Файл собран и сохранен под исходным именем " + (folder / "film.avi") + ".");
  }
}

TEST_F(JoinTest, AppendsLeftoversSkipsGapsAndEmptyParts) {
  MakeSet("  out.bin  \r\n", {{"001.drb", "ab"}, {"002.DRB", ""}, {"003.drb", "cd"}, {"007.drb", "ef"}});
  ASSERT_EQ(JoinFolder(), Outcome::Done);
  EXPECT_EQ(ReadFile(folder / "out.bin"), "abcdef");
}

TEST_F(JoinTest, RefusesFoldersThatHoldNoSet) {
  WriteFile(folder / "readme.txt", "x");  // no parts: the info file is not even looked for
  EXPECT_EQ(JoinFolder(), Outcome::Refused);
  ExpectRefusal("В данной папке нет частей файла!");
  MakeSet("out.bin\r\n", {{"001.drb", "ab"}});
  EXPECT_EQ(JoinFolder([](const std::string&) { return Strings{"001.drb"}; }), Outcome::Refused);
  ExpectRefusal("В выбранной папке частей файла нет. Выбирайте ту папку где есть части с расширением *.drb");
  EXPECT_FALSE(std::filesystem::exists(folder / "out.bin"));
}

TEST_F(JoinTest, RefusesNamesThatLeaveTheFolderOrDestroyAnInput) {
  std::filesystem::create_directory(folder / "sub");
  WriteFile(folder / "alias", "");
  for (const std::string& info : Strings{"\r\n", "   \r\n", ".\r\n", "..\r\n", "../escape\r\n", "/tmp/escape\r\n",
                                         "sub/x\r\n", "Infa.inf\r\n", "001.drb\r\n", std::string("a\0b\r\n", 5),
                                         "bell\a\r\n", std::string(256, 'a') + "\r\n", "alias\r\n"}) {
    std::filesystem::remove(folder / "alias");
    MakeSet(info, {{"001.drb", "part one"}});
    std::filesystem::create_hard_link(folder / "001.drb", folder / "alias");  // the part under another name
    EXPECT_EQ(JoinFolder(), Outcome::Refused) << info;
    ExpectRefusal(kBadName);
    EXPECT_EQ(FolderEntries(folder.path()), (Strings{"001.drb", "Infa.inf", "alias", "sub"})) << info;
    EXPECT_EQ(ReadFile(folder / "001.drb"), "part one");
  }
  EXPECT_TRUE(FolderEntries(folder / "sub").empty());
}

TEST_F(JoinTest, HugeInfoFileIsReadOnlyAtItsStart) {
  MakeSet("", {{"001.drb", "x"}});
  std::filesystem::resize_file(folder / "Infa.inf", 1ull << 30);  // sparse: a gigabyte of NUL bytes
  EXPECT_EQ(JoinFolder(), Outcome::Refused);
  MakeSet("film.avi\r\n", {});
  std::filesystem::resize_file(folder / "Infa.inf", 1ull << 30);
  EXPECT_EQ(JoinFolder(), Outcome::Done);
  EXPECT_EQ(ReadFile(folder / "film.avi"), "x");
}

TEST_F(JoinTest, ReadsOnlyRegularFilesAsParts) {
  MakeSet("out.bin\r\n", {{"001.drb", "real part"}});
  ASSERT_EQ(symlink("/etc/passwd", (folder / "002.drb").c_str()), 0);
  std::filesystem::create_directory(folder / "003.drb");
  ASSERT_EQ(mkfifo((folder / "004.drb").c_str(), 0600), 0);  // reading it would hang
  mknod((folder / "005.drb").c_str(), S_IFCHR | 0600, makedev(1, 5));  // /dev/zero, where root may
  ASSERT_EQ(JoinFolder(), Outcome::Done);
  EXPECT_EQ(ReadFile(folder / "out.bin"), "real part");
  // A lister that offers a folder anyway: an error naming it, and no output.
  std::filesystem::remove(folder / "out.bin");
  testing::ExpectFileError([&] { JoinFolder([](const std::string&) { return Strings{"001.drb", "003.drb", "Infa.inf"}; }); },
                           EISDIR, folder / "003.drb");
  EXPECT_FALSE(std::filesystem::exists(folder / "out.bin"));
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
  unreadable.openErrorSuffix = "/002.drb";
  const std::vector<std::tuple<SysCalls*, int, std::string>> faults = {{&full, ENOSPC, folder / "out.bin"},
                                                                       {&silentlyFull, ENOSPC, folder / "out.bin"},
                                                                       {&unreadable, EACCES, folder / "002.drb"}};
  for (const auto& [layer, code, path] : faults) {
    ScopedSysCalls scope(*layer);
    testing::ExpectFileError([&] { JoinFolder(); }, code, path);
  }
  EXPECT_EQ(testing::OpenDescriptorCount(), descriptors);
  EXPECT_EQ(ReadFile(folder / "out.bin"), "previous output");
  EXPECT_EQ(FolderEntries(folder.path()), before);
  testing::ExpectFileError([&] { Join(folder / "missing", ListFolder, boxes.sink()); }, ENOENT, folder / "missing");
}

}  // namespace
}  // namespace parcelo
