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

namespace fs = std::filesystem;
using namespace messages;
using namespace std::string_literals;

// What a user sees of work done: status 0 and its box on standard output.
CliResult Done(const std::string& title, const std::string& text) {
  return {0, title + ": " + text + "\n", ""};
}
// Of work refused (status 1) or failed (2): the box on standard error.
CliResult Stopped(int status, const std::string& title, const std::string& text) {
  return {status, "", title + ": " + text + "\n"};
}
CliResult SplitDoneOut(const std::string& source, const char* parts) {
  return Done(kSplitDoneTitle, SplitDone(source, parts));
}
CliResult JoinDoneOut(const std::string& output) { return Done(kJoinDoneTitle, JoinDone(output)); }

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
  void SplitFilm(const std::string& set) {
    ExpectRuns({{{"split", film, "--size", "1000", "--subdir", set, "--checksums"},
                 SplitDoneOut(film, "3")}});
  }
};

// The set's folder, any part, a folder named like a part, the info file in the current folder.
TEST_F(ParceloCliTest, JoinGivesTheFileBackFromTheSetsFolderOrAnyOfItsFiles) {
  SplitFilm("set");
  SplitFilm("x.drb");
  SplitFilm("here");
  fs::rename(folder / "set/002.drb", folder / "set/002.DRB");
  ExpectRuns({{{"join", folder / "set//002.DRB"}, JoinDoneOut(folder / "set/film.avi")},
              {{"join", folder / "x.drb/"}, JoinDoneOut(folder / "x.drb/film.avi")}});
  const auto start = fs::current_path();
  fs::current_path(folder / "here");
  ExpectRuns({{{"join", "Infa.inf"}, JoinDoneOut("./film.avi")}});
  fs::current_path(start);
  for (const char* set : {"set", "x.drb", "here"}) {
    EXPECT_TRUE(ReadFile(folder / set + "/film.avi") == ReadFile(film)) << set;
  }
}

// A count of parts makes pieces rounded up, no more of them than the file has bytes.
TEST_F(ParceloCliTest, SplitTakesAPieceSizeOrACountOfParts) {
  ExpectRuns({{{"split", small, "--subdir=", "--size", "5", "--quiet"}, SplitDoneOut(small, "2")},
              {{"split", small, "--parts=3", "--subdir", "three"}, SplitDoneOut(small, "3")},
              {{"split", small, "--parts", "20", "--subdir", "ten"}, SplitDoneOut(small, "10")},
              {{"split", film, "--size=2K", "--subdir", "two"}, SplitDoneOut(film, "2")}});
  EXPECT_EQ(ReadFile(folder / "002.drb"), "56789");
  EXPECT_EQ(ReadFile(folder / "three/003.drb"), "89");  // 10 bytes in 3 parts: 4, 4 and 2
}

TEST_F(ParceloCliTest, CheckTellsASetIsWhole) {
  SplitFilm("set");
  ExpectRuns({{{"check", "--quiet", folder / "set/Infa.inf"},
               Done(kCheckDoneTitle, CheckDone(folder / "set", 3))}});
}

// Nobody is asked: a file edited after the split is replaced with "--replace" alone.
TEST_F(ParceloCliTest, JoinReplacesAFileEditedSinceTheSplitOnlyWhenToldTo) {
  SplitFilm("set");
  WriteFile(folder / "set/film.avi", "edited after the split");
  fs::last_write_time(folder / "set/film.avi",
                      fs::last_write_time(folder / "set/003.drb") + std::chrono::hours(1));
  ExpectRuns(
      {{{"join", folder / "set"}, Stopped(1, kReplaceEditedTitle, ReplaceEdited("film.avi"))},
       {{"join", "--replace", folder / "set"}, JoinDoneOut(folder / "set/film.avi")}});
}

TEST_F(ParceloCliTest, ARefusalExitsWithOne) {
  WriteFile(folder / "one", "1");
  ExpectRuns(
      {{{"split", small}, Stopped(1, kSizeErrorTitle, kPieceNotSmaller)},
       {{"split", small, "--parts", "1001"}, Stopped(1, kCountErrorTitle, cli_text::kPartsRange)},
       {{"split", folder / "one", "--parts", "2"},
        Stopped(1, kSizeErrorTitle, cli_text::kTooShortForParts)}});
}

// The set's structure is checked before its checksums.
TEST_F(ParceloCliTest, AnErrorExitsWithTwo) {
  SplitFilm("bad");
  WriteFile(folder / "bad/002.drb", "changed");
  const std::string error = "Ошибка выполнения";
  ExpectRuns({{{"check", folder / "bad"},
               Stopped(2, error,
                       "Ошибка 1013. Не пройдена проверка файла \"" + (folder / "bad/002.drb") +
                           "\": размер части не подходит к набору.")},
              {{"split", folder / "missing.avi"},
               Stopped(2, error,
                       "Ошибка 2. Не удалось открыть файл \"" + (folder / "missing.avi") +
                           "\": файл или директория не найдены.")}});
  EXPECT_FALSE(fs::exists(folder / "bad/film.avi"));
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
  const auto usage = [](const std::string& named) -> CliResult {
    return {64, "", (named.empty() ? "" : "parcelo-cli: " + named + "\n") + cli_text::kUsage};
  };
  ExpectRuns({{{}, usage("")},
              {{"split", "a", "b"}, usage("")},
              {{"split", "a", "--size"}, usage("")},
              {{"split", "a", "--bogus"}, usage("")},
              {{"join", "a", "b"}, usage("")},
              {{"check"}, usage("")},
              {{"merge", "a"}, usage("")},
              {{"split", "a", "--size", "700 Mo"}, usage(cli_text::kNotSizeUnit + ": «Mo»"s)},
              {{"split", "a", "--parts", "3k"}, usage(cli_text::kPartsNotWhole + ": «3k»"s)},
              {{"split", "a", "--parts=2", "--size=5"},
               usage(cli_text::kSizeWithParts + ": «--parts 2»"s)}});
}

}  // namespace
}  // namespace parcelo::testing
