#include "split/split.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/expect_file_error.h"
#include "support/faulty_sys_calls.h"
#include "support/temp_folder.h"

namespace parcelo {
namespace {

using testing::FolderEntries;
using testing::ReadFile;
using testing::WriteFile;
using Strings = std::vector<std::string>;

struct SplitTest : ::testing::Test {
  testing::TempFolder folder;
  testing::RecordingSink boxes;

  Outcome SplitFile(const std::string& name, const std::string& bytes, const std::string& size,
                    bool newFolder = false, const std::string& newFolderName = "") {
    WriteFile(folder / name, bytes);
    boxes.messages.clear();
    return Split({folder / name, size, newFolder, newFolderName}, boxes.sink());
  }
  // "name:size" for every entry but the source and the info file.
  Strings Parts(const std::string& in, const std::string& source = "f") {
    Strings parts;
    for (const auto& name : FolderEntries(in)) {
      if (name != source && name != "Infa.inf") parts.push_back(name + ":" + std::to_string(ReadFile(in + "/" + name).size()));
    }
    return parts;
  }
  void ExpectOneBox(MessageKind kind, const std::string& title, const std::string& text) {
    ASSERT_EQ(boxes.messages.size(), 1u);
    EXPECT_EQ(boxes.messages[0].kind, kind);
    EXPECT_EQ(boxes.messages[0].title, title);
    EXPECT_EQ(boxes.messages[0].text, text);
  }
};

TEST_F(SplitTest, DistributesTheBytesOverNumberedParts) {
  ASSERT_EQ(SplitFile("film.avi", "0123456789", "3"), Outcome::Done);
  EXPECT_EQ(Parts(folder.path(), "film.avi"), (Strings{"001.drb:3", "002.drb:3", "003.drb:3", "004.drb:1"}));
  EXPECT_EQ(ReadFile(folder / "004.drb"), "9");
  EXPECT_EQ(ReadFile(folder / "Infa.inf"), "film.avi\r\n");
  ExpectOneBox(MessageKind::Information, "Дробление завершено",
               "Поздравляем! Выбранный файл " + (folder / "film.avi") + " был разбит на 4 части(ей)!");
}

TEST_F(SplitTest, PieceSizeTextIsReadAndRoundedHalfToEven) {
  const std::pair<const char*, Strings> rows[] = {{"9.6", {"001.drb:10"}},
                                                  {"3.5", {"001.drb:4", "002.drb:4", "003.drb:2"}},
                                                  {" 4.5xyz", {"001.drb:4", "002.drb:4", "003.drb:2"}}};
  for (const auto& [size, parts] : rows) {
    testing::TempFolder fresh;
    WriteFile(fresh / "f", "0123456789");
    ASSERT_EQ(Split({fresh / "f", size, false, ""}, boxes.sink()), Outcome::Done) << size;
    EXPECT_EQ(Parts(fresh.path()), parts) << size;
  }
}

TEST_F(SplitTest, MakesAThousandPartsAndNoMore) {
  ASSERT_EQ(SplitFile("f", std::string(3000, 'x'), "3"), Outcome::Done);
  EXPECT_EQ(Parts(folder.path()).size(), 1000u);
  EXPECT_EQ(Parts(folder.path()).back(), "999.drb:3");  // by name, 1000.drb sorts before it
  EXPECT_NE(boxes.messages[0].text.find("разбит на 1000 части(ей)!"), std::string::npos);
}

TEST_F(SplitTest, RefusalsWriteNothingAndLeaveAnEarlierSetAlone) {
  struct Row { std::string name, bytes, size; bool newFolder; std::string folderName, title, text; };
  const std::string sizeText = "Размер части должен быть целым числом от 1 до 2147483647 байт. Измените размер части в настройках!";
  const std::string smaller = "Часть должна быть меньше чем файл. Измените размер части в настройках!";
  const std::string badFolder = "Недопустимое имя новой директории. Измените его в настройках!";
  const std::string own = "Файл нельзя дробить в ту же директорию: его имя совпадает с именем части или Infa.inf. "
                          "Выберите новую директорию в настройках!";
  const std::vector<Row> rows = {
      {"f", std::string(1000000, 'x'), "1000000", false, "", "Ошибка размера файла", smaller},
      {"f", "0123456789", "2147483647.4", false, "", "Ошибка размера файла", smaller},
      {"f", std::string(3001, 'x'), "3", false, "", "Ошибка пробления файла", "Файл не может быть разделен более чем на 1000 файлов!"},
      {"f", "0123456789", "0.5", false, "", "Ошибка размера файла", sizeText},
      {"f", "0123456789", "abc", false, "", "Ошибка размера файла", sizeText},
      {"f", "0123456789", "2147483648", false, "", "Ошибка размера файла", sizeText},
      {"f", "0123456789", "1e999", false, "", "Ошибка размера файла", sizeText},
      {"f", "0123456789", "5", true, "..", "Ошибка имени директории", badFolder},
      {"f", "0123456789", "5", true, "../x", "Ошибка имени директории", badFolder},
      {"002.drb", "0123456789", "3", false, "", "Ошибка дробления файла", own},
      {"Infa.inf", "0123456789", "3", false, "", "Ошибка дробления файла", own}};
  for (const Row& row : rows) {
    testing::TempFolder fresh;
    WriteFile(fresh / "Infa.inf", "other.bin\r\n");  // an earlier set: its info file must survive
    WriteFile(fresh / "001.drb", "old");
    WriteFile(fresh / row.name, row.bytes);
    const Strings before = FolderEntries(fresh.path());
    boxes.messages.clear();
    EXPECT_EQ(Split({fresh / row.name, row.size, row.newFolder, row.folderName}, boxes.sink()), Outcome::Refused)
        << row.size << " " << row.folderName;
    ExpectOneBox(MessageKind::Critical, row.title, row.text);
    EXPECT_EQ(FolderEntries(fresh.path()), before);
    EXPECT_EQ(ReadFile(fresh / "001.drb"), "old");
    EXPECT_EQ(ReadFile(fresh / row.name), row.bytes);
  }
  boxes.messages.clear();
  EXPECT_EQ(Split({"", "abc", true, ".."}, boxes.sink()), Outcome::Refused);
  ExpectOneBox(MessageKind::Critical, "Ошибка чтения файла", "Не указан файл для дробления!");
}

TEST_F(SplitTest, NeverWritesOverItsSourceUnderAnotherName) {
  WriteFile(folder / "film", "0123456789");
  std::filesystem::create_directory(folder / "sub");
  std::filesystem::create_hard_link(folder / "film", folder / "sub/003.drb");
  EXPECT_EQ(Split({folder / "film", "3", true, "sub"}, boxes.sink()), Outcome::Refused);
  EXPECT_EQ(ReadFile(folder / "sub/003.drb"), "0123456789");
  EXPECT_EQ(Split({folder / "film", "5", true, "sub"}, boxes.sink()), Outcome::Done);  // 003 not written now
}

TEST_F(SplitTest, PlacesTheSetBesideTheSourceOrInTheNewFolder) {
  ASSERT_EQ(SplitFile("film.avi", "0123456789", "5", true, "NewFolder"), Outcome::Done);
  EXPECT_EQ(FolderEntries(folder / "NewFolder"), (Strings{"001.drb", "002.drb", "Infa.inf"}));
  ASSERT_EQ(SplitFile("film.avi", "0123456789", "5", true, "NewFolder"), Outcome::Done);  // exists now
  ASSERT_EQ(SplitFile("film.avi", "0123456789", "5", true, ""), Outcome::Done);  // empty name: beside it
  EXPECT_EQ(FolderEntries(folder.path()), (Strings{"001.drb", "002.drb", "Infa.inf", "NewFolder", "film.avi"}));
  // A relative path is taken from the current folder, and the info file holds its name.
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(folder / "NewFolder");
  WriteFile(folder / "NewFolder/rel.bin", "abcdefghij");
  boxes.messages.clear();
  const Outcome outcome = Split({"rel.bin", "6", false, ""}, boxes.sink());
  std::filesystem::current_path(previous);
  ASSERT_EQ(outcome, Outcome::Done);
  EXPECT_EQ(ReadFile(folder / "NewFolder/Infa.inf"), "rel.bin\r\n");
  EXPECT_EQ(ReadFile(folder / "NewFolder/002.drb"), "ghij");
  EXPECT_EQ(boxes.messages[0].text, "Поздравляем! Выбранный файл rel.bin был разбит на 2 части(ей)!");
}

TEST_F(SplitTest, ReplacesOldPartsInsteadOfWritingIntoThemAndKeepsHigherOnes) {
  WriteFile(folder / "keep", "linked bytes");
  std::filesystem::create_hard_link(folder / "keep", folder / "001.drb");
  WriteFile(folder / "009.drb", "leftover");
  ASSERT_EQ(SplitFile("f", "0123456789", "5"), Outcome::Done);
  EXPECT_EQ(ReadFile(folder / "keep"), "linked bytes");
  EXPECT_EQ(ReadFile(folder / "001.drb"), "01234");
  EXPECT_EQ(ReadFile(folder / "009.drb"), "leftover");
}

TEST_F(SplitTest, FailuresAreErrorsNamingTheirFile) {
  testing::ExpectFileError([&] { Split({folder / "missing.avi", "5", true, "NewFolder"}, boxes.sink()); }, ENOENT,
                           folder / "missing.avi");
  WriteFile(folder / "NewFolder", "a file, not a folder");
  testing::ExpectFileError([&] { SplitFile("f", "0123456789", "5", true, "NewFolder"); }, ENOTDIR, folder / "NewFolder");
  EXPECT_EQ(FolderEntries(folder.path()), (Strings{"NewFolder", "f"}));
  EXPECT_TRUE(boxes.messages.empty());
}

TEST_F(SplitTest, SourceThatShrinksWhileReadIsAnErrorNeverAShortPart) {
  const std::string bytes = testing::PatternBytes(12 << 20);
  WriteFile(folder / "f", bytes);
  const Progress shrink = [&](std::uint64_t, std::uint64_t) { std::filesystem::resize_file(folder / "f", 6 << 20); };
  const auto descriptors = testing::OpenDescriptorCount();
  testing::ExpectFileError([&] { Split({folder / "f", "5242880", false, ""}, boxes.sink(), shrink); },
                           kUnexpectedEnd, folder / "f");
  EXPECT_EQ(testing::OpenDescriptorCount(), descriptors);
  EXPECT_EQ(FolderEntries(folder.path()), (Strings{"001.drb", "Infa.inf", "f"}));
  EXPECT_EQ(ReadFile(folder / "001.drb"), bytes.substr(0, 5242880));
}

TEST_F(SplitTest, SurvivesInterruptedAndShortCallsAndReportsProgress) {
  const std::string bytes = testing::PatternBytes(9 << 20);
  WriteFile(folder / "f", bytes);
  testing::FaultySysCalls faults;
  faults.interrupt = true;
  faults.maxBytesPerCall = 65539;
  std::vector<std::uint64_t> done;
  {
    ScopedSysCalls scope(faults);
    ASSERT_EQ(Split({folder / "f", "3000000", false, ""}, boxes.sink(),
                    [&](std::uint64_t bytesDone, std::uint64_t total) {
                      EXPECT_EQ(total, bytes.size());
                      done.push_back(bytesDone);
                    }),
              Outcome::Done);
  }
  EXPECT_GT(faults.interruptedCalls, 50);
  EXPECT_EQ(ReadFile(folder / "001.drb") + ReadFile(folder / "002.drb") + ReadFile(folder / "003.drb") +
                ReadFile(folder / "004.drb"),
            bytes);
  EXPECT_TRUE(done.size() >= 2 && std::is_sorted(done.begin(), done.end()) && done.back() == bytes.size());
}

}  // namespace
}  // namespace parcelo
