#include "split/split.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "io/file_error.h"
#include "support/expect_file_error.h"
#include "support/faulty_sys_calls.h"
#include "support/temp_folder.h"

namespace parcelo {
namespace {

using testing::Exists;
using testing::FolderEntries;
using testing::ReadFile;
using testing::WriteFile;
using Strings = std::vector<std::string>;

struct SplitTest : ::testing::Test {
  testing::TempFolder folder;
  testing::RecordingSink boxes;

  // Splits `folder/name` holding `bytes`, the parts beside it.
  Outcome SplitFile(const std::string& name, const std::string& bytes, const std::string& size,
                    bool newFolder = false, const std::string& newFolderName = "NewFolder") {
    WriteFile(folder / name, bytes);
    return Split({folder / name, size, newFolder, newFolderName}, boxes.sink());
  }

  void ExpectOneBox(MessageKind kind, const std::string& title, const std::string& text) {
    ASSERT_EQ(boxes.messages.size(), 1u);
    EXPECT_EQ(boxes.messages[0].kind, kind);
    EXPECT_EQ(boxes.messages[0].title, title);
    EXPECT_EQ(boxes.messages[0].text, text);
  }

  Strings PartSizes() {
    Strings sizes;
    for (const auto& name : FolderEntries(folder.path())) {
      if (name.size() > 4 && name.substr(name.size() - 4) == ".drb") {
        sizes.push_back(name + ":" + std::to_string(ReadFile(folder / name).size()));
      }
    }
    return sizes;
  }
};

TEST_F(SplitTest, DistributesTheBytesOverNumberedParts) {
  const std::string bytes = "0123456789";
  ASSERT_EQ(SplitFile("film.avi", bytes, "3"), Outcome::Done);
  EXPECT_EQ(PartSizes(), (Strings{"001.drb:3", "002.drb:3", "003.drb:3", "004.drb:1"}));
  EXPECT_EQ(ReadFile(folder / "002.drb"), "345");
  EXPECT_EQ(ReadFile(folder / "004.drb"), "9");
  EXPECT_EQ(ReadFile(folder / "Infa.inf"), "film.avi\r\n");
  ExpectOneBox(MessageKind::Information, "Дробление завершено",
               "Поздравляем! Выбранный файл " + (folder / "film.avi") +
                   " был разбит на 4 части(ей)!");
}

TEST_F(SplitTest, PieceSizeTextIsReadAndRoundedHalfToEven) {
  const std::pair<const char*, Strings> rows[] = {
      {"5", {"001.drb:5", "002.drb:5"}},
      {"9.6", {"001.drb:10"}},
      {"3.5", {"001.drb:4", "002.drb:4", "003.drb:2"}},
      {"2.5", {"001.drb:2", "002.drb:2", "003.drb:2", "004.drb:2", "005.drb:2"}},
      {" 4abc", {"001.drb:4", "002.drb:4", "003.drb:2"}},
      {"&H4", {"001.drb:4", "002.drb:4", "003.drb:2"}},
  };
  for (const auto& [size, parts] : rows) {
    testing::TempFolder fresh;
    WriteFile(fresh / "f", "0123456789");
    ASSERT_EQ(Split({fresh / "f", size, false, ""}, boxes.sink()), Outcome::Done) << size;
    Strings sizes;
    for (const auto& name : FolderEntries(fresh.path())) {
      if (name != "f" && name != "Infa.inf") {
        sizes.push_back(name + ":" + std::to_string(ReadFile(fresh / name).size()));
      }
    }
    EXPECT_EQ(sizes, parts) << size;
  }
}

TEST_F(SplitTest, MakesAThousandPartsAndNoMore) {
  ASSERT_EQ(SplitFile("f", std::string(3000, 'x'), "3"), Outcome::Done);
  EXPECT_TRUE(Exists(folder / "1000.drb"));
  EXPECT_FALSE(Exists(folder / "1001.drb"));
  EXPECT_NE(boxes.messages[0].text.find(" был разбит на 1000 части(ей)!"), std::string::npos);

  testing::TempFolder other;
  WriteFile(other / "f", std::string(3001, 'x'));
  boxes.messages.clear();
  EXPECT_EQ(Split({other / "f", "3", false, ""}, boxes.sink()), Outcome::Refused);
  ExpectOneBox(MessageKind::Critical, "Ошибка пробления файла",
               "Файл не может быть разделен более чем на 1000 файлов!");
  EXPECT_EQ(FolderEntries(other.path()), Strings{"f"});
}

TEST_F(SplitTest, EmptySourcePathIsRefusedFirst) {
  EXPECT_EQ(Split({"", "abc", true, "../x"}, boxes.sink()), Outcome::Refused);
  ExpectOneBox(MessageKind::Critical, "Ошибка чтения файла", "Не указан файл для дробления!");
}

TEST_F(SplitTest, RefusalsWriteNothingAndKeepAnExistingSet) {
  // An earlier set in the folder: a refused split must not touch its info file.
  WriteFile(folder / "Infa.inf", "other.bin\r\n");
  WriteFile(folder / "001.drb", "old part");
  const Strings before = {"001.drb", "Infa.inf", "film.avi"};

  EXPECT_EQ(SplitFile("film.avi", std::string(1000000, 'x'), "1000000"), Outcome::Refused);
  ExpectOneBox(MessageKind::Critical, "Ошибка размера файла",
               "Часть должна быть меньше чем файл. Измените размер части в настройках!");
  EXPECT_EQ(FolderEntries(folder.path()), before);
  EXPECT_EQ(ReadFile(folder / "Infa.inf"), "other.bin\r\n");
  EXPECT_EQ(ReadFile(folder / "001.drb"), "old part");
}

TEST_F(SplitTest, RefusesPieceSizeThatIsNotAWholeNumberOfBytesInRange) {
  for (const char* size : {"0", "0.5", "-3", "abc", "", "2147483647.5", "2147483648", "1e999",
                           "-1e999"}) {
    boxes.messages.clear();
    EXPECT_EQ(SplitFile("f", "0123456789", size), Outcome::Refused) << size;
    ExpectOneBox(MessageKind::Critical, "Ошибка размера файла",
                 "Размер части должен быть целым числом от 1 до 2147483647 байт. Измените "
                 "размер части в настройках!");
    EXPECT_EQ(FolderEntries(folder.path()), Strings{"f"}) << size;
  }
  // Sizes that round into the range are taken.
  boxes.messages.clear();
  EXPECT_EQ(SplitFile("f", "0123456789", "0.6"), Outcome::Done);
  EXPECT_EQ(ReadFile(folder / "010.drb"), "9");
  boxes.messages.clear();
  EXPECT_EQ(SplitFile("f", "0123456789", "2147483647.4"), Outcome::Refused);
  ExpectOneBox(MessageKind::Critical, "Ошибка размера файла",
               "Часть должна быть меньше чем файл. Измените размер части в настройках!");
}

TEST_F(SplitTest, NewFolderReceivesTheSet) {
  ASSERT_EQ(SplitFile("film.avi", "0123456789", "5", true, "NewFolder"), Outcome::Done);
  EXPECT_EQ(FolderEntries(folder / "NewFolder"), (Strings{"001.drb", "002.drb", "Infa.inf"}));
  EXPECT_EQ(ReadFile(folder / "NewFolder/Infa.inf"), "film.avi\r\n");
  // Again into the folder that now exists.
  ASSERT_EQ(SplitFile("film.avi", "0123456789", "5", true, "NewFolder"), Outcome::Done);
}

TEST_F(SplitTest, EmptyNewFolderNamePutsTheSetBesideTheSource) {
  ASSERT_EQ(SplitFile("film.avi", "0123456789", "5", true, ""), Outcome::Done);
  EXPECT_EQ(FolderEntries(folder.path()), (Strings{"001.drb", "002.drb", "Infa.inf", "film.avi"}));
}

TEST_F(SplitTest, RefusesFolderNamesThatLeaveTheSourceFolder) {
  for (const char* name : {".", "..", "a/b", "../escape"}) {
    boxes.messages.clear();
    EXPECT_EQ(SplitFile("f", "0123456789", "5", true, name), Outcome::Refused) << name;
    ExpectOneBox(MessageKind::Critical, "Ошибка имени директории",
                 "Недопустимое имя новой директории. Измените его в настройках!");
    EXPECT_EQ(FolderEntries(folder.path()), Strings{"f"});
  }
}

TEST_F(SplitTest, NeverWritesOverItsOwnSource) {
  const std::string text =
      "Файл нельзя дробить в ту же директорию: его имя совпадает с именем части или Infa.inf. "
      "Выберите новую директорию в настройках!";
  const std::string bytes = testing::PatternBytes(10);
  for (const char* name : {"002.drb", "Infa.inf", "004.drb"}) {
    testing::TempFolder fresh;
    WriteFile(fresh / name, bytes);
    boxes.messages.clear();
    EXPECT_EQ(Split({fresh / name, "3", false, ""}, boxes.sink()), Outcome::Refused) << name;
    ExpectOneBox(MessageKind::Critical, "Ошибка дробления файла", text);
    EXPECT_EQ(ReadFile(fresh / name), bytes);
    EXPECT_EQ(FolderEntries(fresh.path()), Strings{name});
  }
  // Another spelling of the same file: a hard link among the parts to be written.
  WriteFile(folder / "film", bytes);
  std::filesystem::create_directory(folder / "sub");
  std::filesystem::create_hard_link(folder / "film", folder / "sub/003.drb");
  EXPECT_EQ(Split({folder / "film", "3", true, "sub"}, boxes.sink()), Outcome::Refused);
  EXPECT_EQ(ReadFile(folder / "film"), bytes);
  // A part number beyond this split's count is no danger.
  EXPECT_EQ(Split({folder / "film", "5", true, "sub"}, boxes.sink()), Outcome::Done);
}

TEST_F(SplitTest, RelativeSourceLandsBesideTheFile) {
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(folder.path());
  WriteFile(folder / "film.avi", "0123456789");
  const Outcome outcome = Split({"film.avi", "5", false, ""}, boxes.sink());
  std::filesystem::current_path(previous);
  ASSERT_EQ(outcome, Outcome::Done);
  EXPECT_EQ(ReadFile(folder / "Infa.inf"), "film.avi\r\n");
  EXPECT_EQ(ReadFile(folder / "002.drb"), "56789");
  ExpectOneBox(MessageKind::Information, "Дробление завершено",
               "Поздравляем! Выбранный файл film.avi был разбит на 2 части(ей)!");
}

TEST_F(SplitTest, MissingSourceIsAnErrorNamingIt) {
  testing::ExpectFileError([&] { Split({folder / "missing.avi", "5", true, "NewFolder"}, boxes.sink()); },
                           ENOENT, folder / "missing.avi");
  EXPECT_TRUE(boxes.messages.empty());
  EXPECT_TRUE(FolderEntries(folder.path()).empty());
}

TEST_F(SplitTest, FileWhereTheNewFolderBelongsIsAnError) {
  WriteFile(folder / "NewFolder", "a file");
  EXPECT_THROW(SplitFile("f", "0123456789", "5", true, "NewFolder"), FileError);
  EXPECT_EQ(ReadFile(folder / "NewFolder"), "a file");
}

TEST_F(SplitTest, ReplacesOldPartsInsteadOfWritingIntoThem) {
  WriteFile(folder / "keep", "linked bytes");
  std::filesystem::create_hard_link(folder / "keep", folder / "001.drb");
  WriteFile(folder / "009.drb", "leftover");
  ASSERT_EQ(SplitFile("f", "0123456789", "5"), Outcome::Done);
  EXPECT_EQ(ReadFile(folder / "keep"), "linked bytes");
  EXPECT_EQ(ReadFile(folder / "001.drb"), "01234");
  EXPECT_EQ(ReadFile(folder / "009.drb"), "leftover");
}

TEST_F(SplitTest, FullDiskKeepsWrittenPartsAndLeavesNoTemporary) {
  const std::string bytes = testing::PatternBytes(3000);
  WriteFile(folder / "f", bytes);
  testing::FaultySysCalls faults;
  faults.maxBytesPerCall = 100;
  faults.writeError = ENOSPC;
  faults.writeErrorAfter = 1000 + 10 + 500;  // info file, 001.drb, half of 002.drb
  const auto descriptors = testing::OpenDescriptorCount();
  {
    ScopedSysCalls scope(faults);
    testing::ExpectFileError([&] { Split({folder / "f", "1000", false, ""}, boxes.sink()); }, ENOSPC,
                             folder / "002.drb");
  }
  EXPECT_EQ(testing::OpenDescriptorCount(), descriptors);
  EXPECT_EQ(FolderEntries(folder.path()), (Strings{"001.drb", "Infa.inf", "f"}));
  EXPECT_EQ(ReadFile(folder / "001.drb"), bytes.substr(0, 1000));
  EXPECT_EQ(ReadFile(folder / "f"), bytes);
}

TEST_F(SplitTest, SourceThatShrinksWhileReadIsAnErrorNeverAShortPart) {
  const std::string bytes = testing::PatternBytes(12 << 20);
  WriteFile(folder / "f", bytes);
  const auto descriptors = testing::OpenDescriptorCount();
  bool truncated = false;
  const Progress shrinkOnce = [&](std::uint64_t, std::uint64_t) {
    if (!truncated) std::filesystem::resize_file(folder / "f", 6 << 20);
    truncated = true;
  };
  testing::ExpectFileError(
      [&] { Split({folder / "f", "5242880", false, ""}, boxes.sink(), shrinkOnce); },
      kUnexpectedEnd, folder / "f");
  EXPECT_EQ(testing::OpenDescriptorCount(), descriptors);
  EXPECT_EQ(FolderEntries(folder.path()), (Strings{"001.drb", "Infa.inf", "f"}));
  EXPECT_EQ(ReadFile(folder / "001.drb"), bytes.substr(0, 5242880));
}

TEST_F(SplitTest, SurvivesInterruptedAndShortSystemCalls) {
  const std::string bytes = testing::PatternBytes(3 << 20);
  WriteFile(folder / "f", bytes);
  testing::FaultySysCalls faults;
  faults.interrupt = true;
  faults.maxBytesPerCall = 65536 + 3;
  {
    ScopedSysCalls scope(faults);
    ASSERT_EQ(Split({folder / "f", "1000000", false, ""}, boxes.sink()), Outcome::Done);
  }
  EXPECT_GT(faults.interruptedCalls, 50);
  std::string joined;
  for (const char* part : {"001.drb", "002.drb", "003.drb", "004.drb"}) joined += ReadFile(folder / part);
  EXPECT_EQ(joined, bytes);
}

TEST_F(SplitTest, ReportsProgressUpToTheWholeLength) {
  const std::string bytes = testing::PatternBytes(9 << 20);
  WriteFile(folder / "f", bytes);
  std::vector<std::uint64_t> done;
  ASSERT_EQ(Split({folder / "f", "3000000", false, ""}, boxes.sink(),
                  [&](std::uint64_t bytesDone, std::uint64_t total) {
                    EXPECT_EQ(total, bytes.size());
                    done.push_back(bytesDone);
                  }),
            Outcome::Done);
  ASSERT_GE(done.size(), 2u);
  EXPECT_TRUE(std::is_sorted(done.begin(), done.end()));
  EXPECT_EQ(done.back(), bytes.size());
}

}  // namespace
}  // namespace parcelo
