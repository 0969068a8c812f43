// Runs the real parcelo-cli and checks what a user sees: the lines on
// standard output and standard error, the exit status, and the files.

#include <gtest/gtest.h>

#include "support/cli_runner.h"

namespace parcelo {
namespace {

using testing::ReadFile;
using testing::WriteFile;
using testing::CliResult;

struct CliTest : ::testing::Test {
  testing::TempFolder folder;
  testing::TempFolder scratch;

  CliResult Run(const std::vector<std::string>& arguments) { return testing::RunCli(arguments, scratch); }
};

TEST_F(CliTest, SplitThenJoinGivesTheFileBack) {
  const std::string bytes = testing::PatternBytes(2'500'001);
  WriteFile(folder / "film.avi", bytes);
  CliResult split = Run({"split", folder / "film.avi", "--size", "1e6", "--subdir", "set"});
  EXPECT_EQ(split.status, 0);
  EXPECT_EQ(split.out, "Дробление завершено: Поздравляем! Выбранный файл " + (folder / "film.avi") +
                           " был разбит на 3 части(ей)!\n");
  EXPECT_EQ(split.err, "");
  // The parts, concatenated in number order, are the file.
  EXPECT_EQ(ReadFile(folder / "set/001.drb") + ReadFile(folder / "set/002.drb") +
                ReadFile(folder / "set/003.drb"),
            bytes);

  CliResult join = Run({"join", folder / "set/"});
  EXPECT_EQ(join.status, 0);
  EXPECT_EQ(join.out, "Слияние завершено: Поздравляем! Файл собран и сохранен под исходным именем " +
                          (folder / "set/film.avi") + ".\n");
  EXPECT_EQ(ReadFile(folder / "set/film.avi"), bytes);
}

TEST_F(CliTest, RefusalGoesToStandardErrorWithStatusOne) {
  WriteFile(folder / "small", "0123456789");
  CliResult result = Run({"split", folder / "small"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err,
            "Ошибка размера файла: Часть должна быть меньше чем файл. Измените размер части в "
            "настройках!\n");
}

TEST_F(CliTest, ErrorReportNamesTheFileWithStatusTwo) {
  CliResult result = Run({"split", folder / "missing.avi"});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "Ошибка выполнения: Ошибка 2. Не удалось открыть файл \"" +
                            (folder / "missing.avi") +
                            "\": файл или директория не найдены.\n");
}

TEST_F(CliTest, UsageErrorsExitWithStatus64) {
  CliResult result = Run({"split"});
  EXPECT_EQ(result.status, 64);
  EXPECT_EQ(result.out, "");
  EXPECT_NE(result.err.find("Использование:"), std::string::npos);
  result = Run({"--help"});
  EXPECT_EQ(result.status, 0);
  EXPECT_NE(result.out.find("parcelo-cli join"), std::string::npos);
}

}  // namespace
}  // namespace parcelo
