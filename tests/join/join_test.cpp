#include "join/join.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "io/file_error.h"
#include "join/part_order.h"
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

struct JoinTest : ::testing::Test {
  testing::TempFolder folder;
  testing::RecordingSink boxes;

  // Writes a part set by hand: the info file's content and the parts.
  void MakeSet(const std::string& info, const std::vector<std::pair<std::string, std::string>>& parts) {
    WriteFile(folder / "Infa.inf", info);
    for (const auto& [name, bytes] : parts) WriteFile(folder / name, bytes);
  }

  Outcome JoinFolder() { return Join(folder.path(), ListFolder, boxes.sink()); }

  void ExpectRefusal(const std::string& text) {
    ASSERT_EQ(boxes.messages.size(), 1u);
    EXPECT_EQ(boxes.messages[0].kind, MessageKind::Critical);
    EXPECT_EQ(boxes.messages[0].title, "Ошибка инициализации директории");
    EXPECT_EQ(boxes.messages[0].text, text);
  }
};

TEST_F(JoinTest, GivesBackWhatTheSplitCut) {
  const std::string bytes = testing::PatternBytes(3 * 1024 * 1024 + 7);
  WriteFile(folder / "film.avi", bytes);
  ASSERT_EQ(Split({folder / "film.avi", "1000000", true, "parts"}, boxes.sink()), Outcome::Done);
  boxes.messages.clear();
  ASSERT_EQ(Join(folder / "parts", ListFolder, boxes.sink()), Outcome::Done);
  EXPECT_EQ(ReadFile(folder / "parts/film.avi"), bytes);
  ASSERT_EQ(boxes.messages.size(), 1u);
  EXPECT_EQ(boxes.messages[0].kind, MessageKind::Information);
  EXPECT_EQ(boxes.messages[0].title, "Слияние завершено");
  EXPECT_EQ(boxes.messages[0].text,
            "Поздравляем! Файл собран и сохранен под исходным именем " + (folder / "parts/film.avi") +
                ".");
  // Again: the same output, the parts and the info file still there.
  ASSERT_EQ(Join(folder / "parts", ListFolder, boxes.sink()), Outcome::Done);
  EXPECT_EQ(ReadFile(folder / "parts/film.avi"), bytes);
  EXPECT_EQ(FolderEntries(folder / "parts").size(), 6u);
}

TEST_F(JoinTest, WritesOverTheSourceWhenTheSetLiesBesideIt) {
  WriteFile(folder / "notes.txt", "not a part");
  WriteFile(folder / "film.avi", "0123456789");
  ASSERT_EQ(Split({folder / "film.avi", "3", false, ""}, boxes.sink()), Outcome::Done);
  WriteFile(folder / "film.avi", "changed");
  ASSERT_EQ(JoinFolder(), Outcome::Done);
  EXPECT_EQ(ReadFile(folder / "film.avi"), "0123456789");
}

TEST_F(JoinTest, OrdersPartsByNumberNotByName) {
  EXPECT_EQ(OrderParts({"1.drb", "10.drb", "100.drb", "1000.drb", "101.drb", "2.DRB", "Infa.inf",
                        "x.txt", "abc.drb", "999.drb"}),
            (Strings{"abc.drb", "1.drb", "2.DRB", "10.drb", "100.drb", "101.drb", "999.drb",
                     "1000.drb"}));
  ASSERT_EQ(Split({(WriteFile(folder / "f", testing::PatternBytes(3000)), folder / "f"), "3", true,
                   "set"},
                  boxes.sink()),
            Outcome::Done);
  ASSERT_EQ(Join(folder / "set", ListFolder, boxes.sink()), Outcome::Done);
  EXPECT_EQ(ReadFile(folder / "set/f"), testing::PatternBytes(3000));
}

TEST_F(JoinTest, AppendsLeftoverPartsSkipsGapsAndEmptyParts) {
  MakeSet("out.bin\r\n", {{"001.drb", "ab"}, {"002.DRB", ""}, {"003.drb", "cd"}, {"007.drb", "ef"}});
  ASSERT_EQ(JoinFolder(), Outcome::Done);
  EXPECT_EQ(ReadFile(folder / "out.bin"), "abcdef");
}

TEST_F(JoinTest, NamesWithSpacesAtTheirEndsLoseThem) {
  MakeSet("  my film.avi  \r\n", {{"001.drb", "x"}});
  ASSERT_EQ(JoinFolder(), Outcome::Done);
  EXPECT_EQ(ReadFile(folder / "my film.avi"), "x");
}

TEST_F(JoinTest, FolderWithoutPartsIsRefusedBeforeTheInfoFileIsRead) {
  WriteFile(folder / "readme.txt", "x");
  EXPECT_EQ(JoinFolder(), Outcome::Refused);
  ExpectRefusal("В данной папке нет частей файла!");
}

TEST_F(JoinTest, ShortListingIsRefused) {
  MakeSet("out.bin\r\n", {{"001.drb", "ab"}});
  const FolderLister onlyThePart = [](const std::string&) { return Strings{"001.drb"}; };
  EXPECT_EQ(Join(folder.path(), onlyThePart, boxes.sink()), Outcome::Refused);
  ExpectRefusal(
      "В выбранной папке частей файла нет. Выбирайте ту папку где есть части с расширением *.drb");
  EXPECT_FALSE(testing::Exists(folder / "out.bin"));
}

TEST_F(JoinTest, MissingOrEmptyInfoFileIsAnError) {
  WriteFile(folder / "001.drb", "x");
  EXPECT_THROW(JoinFolder(), FileError);
  WriteFile(folder / "Infa.inf", "");
  EXPECT_THROW(JoinFolder(), FileError);
  EXPECT_EQ(FolderEntries(folder.path()), (Strings{"001.drb", "Infa.inf"}));
}

TEST_F(JoinTest, RefusesNamesThatWouldLeaveTheFolderOrDestroyAnInput) {
  std::filesystem::create_directory(folder / "sub");
  for (const std::string& info : std::vector<std::string>{"\r\n", "   \r\n", ".\r\n", "..\r\n", "../escape\r\n",
                                 "/tmp/escape\r\n", "sub/x\r\n", "Infa.inf\r\n", "001.drb\r\n",
                                 std::string("a\0b\r\n", 5), "bell\a\r\n"}) {
    MakeSet(info, {{"001.drb", "part one"}});
    boxes.messages.clear();
    EXPECT_EQ(JoinFolder(), Outcome::Refused) << info;
    ExpectRefusal("Файл Infa.inf не содержит допустимого имени исходного файла!");
    EXPECT_EQ(FolderEntries(folder.path()), (Strings{"001.drb", "Infa.inf", "sub"})) << info;
    EXPECT_EQ(ReadFile(folder / "001.drb"), "part one");
    EXPECT_EQ(ReadFile(folder / "Infa.inf"), info);
  }
  EXPECT_TRUE(FolderEntries(folder / "sub").empty());
}

TEST_F(JoinTest, RefusesAnOutputThatIsAnInputUnderAnotherName) {
  MakeSet("alias\r\n", {{"001.drb", "part one"}});
  std::filesystem::create_hard_link(folder / "001.drb", folder / "alias");
  EXPECT_EQ(JoinFolder(), Outcome::Refused);
  EXPECT_EQ(ReadFile(folder / "001.drb"), "part one");
}

TEST_F(JoinTest, FailureKeepsTheOldOutputAndLeavesNoTemporary) {
  MakeSet("out.bin\r\n", {{"001.drb", std::string(5000, 'a')}, {"002.drb", std::string(5000, 'b')}});
  WriteFile(folder / "out.bin", "previous output");
  testing::FaultySysCalls faults;
  faults.maxBytesPerCall = 1000;
  faults.writeError = ENOSPC;
  faults.writeErrorAfter = 7000;
  const auto descriptors = testing::OpenDescriptorCount();
  {
    ScopedSysCalls scope(faults);
    testing::ExpectFileError([&] { JoinFolder(); }, ENOSPC, folder / "out.bin");
  }
  EXPECT_EQ(testing::OpenDescriptorCount(), descriptors);
  EXPECT_EQ(ReadFile(folder / "out.bin"), "previous output");
  EXPECT_EQ(FolderEntries(folder.path()), (Strings{"001.drb", "002.drb", "Infa.inf", "out.bin"}));
}

TEST_F(JoinTest, PartThatIsNotAFileIsAnError) {
  MakeSet("out.bin\r\n", {{"001.drb", "a"}});
  std::filesystem::create_directory(folder / "002.drb");
  const FolderLister everything = [](const std::string&) {
    return Strings{"001.drb", "002.drb", "Infa.inf"};
  };
  testing::ExpectFileError([&] { Join(folder.path(), everything, boxes.sink()); }, EISDIR,
                           folder / "002.drb");
  EXPECT_FALSE(testing::Exists(folder / "out.bin"));
}

}  // namespace
}  // namespace parcelo
