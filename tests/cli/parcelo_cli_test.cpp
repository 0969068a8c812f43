// Runs the real parcelo-cli and checks what a user sees: the lines on
// standard output and standard error, the exit status, and the files.

#include <gtest/gtest.h>

#include <filesystem>

#include "cli/cli_texts.h"
#include "operation/messages.h"
#include "parcelo_version.h"
#include "support/cli_runner.h"

namespace parcelo::testing {
namespace {

// A box as the command line prints it.
std::string Line(const std::string& title, const std::string& text) {
  return title + ": " + text + "\n";
}

struct ParceloCliTest : ::testing::Test {
  TempFolder folder;
  const std::string small = folder / "small", film = folder / "film.avi";

  ParceloCliTest() {
    WriteFile(small, "0123456789");
    WriteFile(film, PatternBytes(2500));
  }
  // Each row: a command line and what the user sees of it.
  void ExpectRuns(const std::vector<std::pair<Strings, CliResult>>& rows) {
    for (const auto& [arguments, expected] : rows) {
      const CliResult result = RunCli(arguments);
      EXPECT_EQ(std::tie(result.status, result.out, result.err),
                std::tie(expected.status, expected.out, expected.err))
          << ::testing::PrintToString(arguments);
    }
  }
  void SplitFilmWithChecksums(const std::string& set) {
    ASSERT_EQ(RunCli({"split", film, "--size", "1000", "--subdir", set, "--checksums"}).status, 0);
  }
};

// The parts put together are the file again; the join takes the set's folder, its info file or any
// part; a folder named like a part is joined itself; a bare name has the current folder as its set.
TEST_F(ParceloCliTest, SplitThenJoinGivesTheFileBack) {
  const std::string bytes = ReadFile(film);
  auto result = RunCli({"split", film, "--size=1e3", "--subdir", "set"});
  EXPECT_EQ(std::tuple(result.status, result.out, result.err),
            std::tuple(0, Line(messages::kSplitDoneTitle, messages::SplitDone(film, "3")), ""));
  EXPECT_TRUE(ReadFile(folder / "set/001.drb") + ReadFile(folder / "set/002.drb") +
                  ReadFile(folder / "set/003.drb") ==
              bytes);
  ASSERT_EQ(RunCli({"split", film, "--size", "1000", "--subdir", "x.drb"}).status, 0);
  std::filesystem::rename(folder / "set/002.drb", folder / "set/002.DRB");
  const std::pair<std::string, std::string> rows[] = {{"set//002.DRB", "set"}, {"x.drb/", "x.drb"}};
  for (const auto& [argument, set] : rows) {
    result = RunCli({"join", folder / argument});
    EXPECT_EQ(result.out,
              Line(messages::kJoinDoneTitle, messages::JoinDone(folder / (set + "/film.avi"))));
    EXPECT_TRUE(ReadFile(folder / (set + "/film.avi")) == bytes) << argument;
  }
  const auto start = std::filesystem::current_path();
  std::filesystem::current_path(folder / "set");
  result = RunCli({"join", "Infa.inf"});
  std::filesystem::current_path(start);
  EXPECT_EQ(result.out, Line(messages::kJoinDoneTitle, messages::JoinDone("./film.avi")));
}

// A count of parts makes pieces rounded up, no more of them than the file has bytes.
TEST_F(ParceloCliTest, SplitTakesAPieceSizeOrACountOfParts) {
  ExpectRuns({{{"split", small, "--subdir=", "--size", "5", "--quiet"},
               {0, Line(messages::kSplitDoneTitle, messages::SplitDone(small, "2")), ""}},
              {{"split", small, "--parts=3", "--subdir", "three"},
               {0, Line(messages::kSplitDoneTitle, messages::SplitDone(small, "3")), ""}},
              {{"split", small, "--parts", "20", "--subdir", "ten"},
               {0, Line(messages::kSplitDoneTitle, messages::SplitDone(small, "10")), ""}},
              {{"split", film, "--size", "2K", "--subdir", "two"},
               {0, Line(messages::kSplitDoneTitle, messages::SplitDone(film, "2")), ""}}});
  EXPECT_EQ(ReadFile(folder / "002.drb"), "56789");
  EXPECT_EQ(ReadFile(folder / "three/003.drb"), "89");  // 10 bytes in 3 parts: 4, 4 and 2
}

TEST_F(ParceloCliTest, CheckTellsASetIsWhole) {
  SplitFilmWithChecksums("set");
  ExpectRuns({{{"check", "--quiet", folder / "set/Infa.inf"},
               {0, Line(messages::kCheckDoneTitle, messages::CheckDone(folder / "set", 3)), ""}}});
}

// Nobody is asked: a file edited after the split is replaced with "--replace" alone.
TEST_F(ParceloCliTest, JoinReplacesAFileEditedSinceTheSplitOnlyWhenToldTo) {
  SplitFilmWithChecksums("set");
  WriteFile(folder / "set/film.avi", "edited after the split");
  std::filesystem::last_write_time(
      folder / "set/film.avi",
      std::filesystem::last_write_time(folder / "set/003.drb") + std::chrono::hours(1));
  ExpectRuns(
      {{{"join", folder / "set"},
        {1, "", Line(messages::kReplaceEditedTitle, messages::ReplaceEdited("film.avi"))}},
       {{"join", "--replace", folder / "set"},
        {0, Line(messages::kJoinDoneTitle, messages::JoinDone(folder / "set/film.avi")), ""}}});
}

TEST_F(ParceloCliTest, ARefusalExitsWithOne) {
  WriteFile(folder / "one", "1");
  ExpectRuns(
      {{{"split", small}, {1, "", Line(messages::kSizeErrorTitle, messages::kPieceNotSmaller)}},
       {{"split", small, "--parts", "1001"},
        {1, "", Line(messages::kCountErrorTitle, cli_text::kPartsRange)}},
       {{"split", folder / "one", "--parts", "2"},
        {1, "", Line(messages::kSizeErrorTitle, cli_text::kTooShortForParts)}}});
}

// The set's structure is checked before its checksums.
TEST_F(ParceloCliTest, AnErrorExitsWithTwo) {
  SplitFilmWithChecksums("bad");
  WriteFile(folder / "bad/002.drb", "changed");
  ExpectRuns({{{"check", folder / "bad"},
               {2, "",
                "Ошибка выполнения: Ошибка 1013. Не пройдена проверка файла \"" +
                    (folder / "bad/002.drb") + "\": размер части не подходит к набору.\n"}},
              {{"split", folder / "missing.avi"},
               {2, "",
                "Ошибка выполнения: Ошибка 2. Не удалось открыть файл \"" +
                    (folder / "missing.avi") + "\": файл или директория не найдены.\n"}}});
  EXPECT_FALSE(std::filesystem::exists(folder / "bad/film.avi"));
}

TEST_F(ParceloCliTest, AStandardOutputThatCannotBeWrittenIsAnError) {
  const std::string full =
      ShellQuoted(std::getenv("PARCELO_CLI")) + " --help >/dev/full 2>/dev/null";
  EXPECT_EQ(WEXITSTATUS(std::system(full.c_str())), 2);
}

TEST_F(ParceloCliTest, PrintsItsUsageAndVersion) {
  ExpectRuns({{{"--help"}, {0, cli_text::kUsage, ""}},
              {{"--version"}, {0, "parcelo-cli " PARCELO_VERSION "\n", ""}}});
}

// A wrong argument that can be named is named before the usage.
TEST_F(ParceloCliTest, WrongArgumentsShowTheUsageAndExitWith64) {
  namespace text = cli_text;
  const std::pair<Strings, std::string> usages[] = {
      {{}, ""},
      {{"split", "a", "b"}, ""},
      {{"split", "a", "--size"}, ""},
      {{"split", "a", "--bogus"}, ""},
      {{"join", "a", "b"}, ""},
      {{"check"}, ""},
      {{"merge", "a"}, ""},
      {{"split", "a", "--size", "700 Mo"}, std::string(text::kNotSizeUnit) + ": «Mo»"},
      {{"split", "a", "--parts", "3k"}, std::string(text::kPartsNotWhole) + ": «3k»"},
      {{"split", "a", "--parts=2", "--size=5"},
       std::string(text::kSizeWithParts) + ": «--parts 2»"}};
  for (const auto& [usage, named] : usages) {
    const std::string said = named.empty() ? "" : "parcelo-cli: " + named + "\n";
    ExpectRuns({{usage, {64, "", said + text::kUsage}}});
  }
}

}  // namespace
}  // namespace parcelo::testing
