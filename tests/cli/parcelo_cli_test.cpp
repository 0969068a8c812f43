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

// The parts put together are the file again; the join takes the set's folder, its info file or any
// part; a folder named like a part is joined itself; a bare name has the current folder as its set.
TEST(ParceloCli, SplitThenJoinGivesTheFileBack) {
  TempFolder folder;
  const std::string bytes = PatternBytes(2500);
  WriteFile(folder / "film.avi", bytes);
  auto result = RunCli({"split", folder / "film.avi", "--size=1e3", "--subdir", "set"});
  EXPECT_EQ(
      std::tuple(result.status, result.out, result.err),
      std::tuple(0, Line(messages::kSplitDoneTitle, messages::SplitDone(folder / "film.avi", "3")),
                 ""));
  EXPECT_TRUE(ReadFile(folder / "set/001.drb") + ReadFile(folder / "set/002.drb") +
                  ReadFile(folder / "set/003.drb") ==
              bytes);
  ASSERT_EQ(RunCli({"split", folder / "film.avi", "--size", "1000", "--subdir", "x.drb"}).status,
            0);
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

TEST(ParceloCli, RefusalsErrorsAndUsageHaveTheirOwnExitStatus) {
  TempFolder folder;
  WriteFile(folder / "small", "0123456789");
  WriteFile(folder / "one", "1");
  WriteFile(folder / "film.avi", PatternBytes(2500));
  for (const char* set : {"good", "bad"}) {
    ASSERT_EQ(
        RunCli({"split", folder / "film.avi", "--size", "1000", "--subdir", set, "--checksums"})
            .status,
        0);
  }
  WriteFile(folder / "bad/002.drb", "changed");  // the set's structure is checked before the sums
  WriteFile(folder / "good/film.avi", "edited after the split");  // replaced with --replace alone
  std::filesystem::last_write_time(
      folder / "good/film.avi",
      std::filesystem::last_write_time(folder / "good/003.drb") + std::chrono::hours(1));
  const std::pair<std::vector<std::string>, CliResult> rows[] = {
      {{"check", "--quiet", folder / "good/Infa.inf"},
       {0, Line(messages::kCheckDoneTitle, messages::CheckDone(folder / "good", 3)), ""}},
      {{"check", folder / "bad"},
       {2, "",
        "Ошибка выполнения: Ошибка 1013. Не пройдена проверка файла \"" + (folder / "bad/002.drb") +
            "\": размер части не подходит к набору.\n"}},
      {{"join", folder / "good"},
       {1, "", Line(messages::kReplaceEditedTitle, messages::ReplaceEdited("film.avi"))}},
      {{"join", "--replace", folder / "good"},
       {0, Line(messages::kJoinDoneTitle, messages::JoinDone(folder / "good/film.avi")), ""}},
      {{"split", folder / "small"},
       {1, "", Line(messages::kSizeErrorTitle, messages::kPieceNotSmaller)}},
      {{"split", folder / "small", "--subdir=", "--size", "5", "--quiet"},
       {0, Line(messages::kSplitDoneTitle, messages::SplitDone(folder / "small", "2")), ""}},
      {{"split", folder / "small", "--parts=3", "--subdir", "three"},
       {0, Line(messages::kSplitDoneTitle, messages::SplitDone(folder / "small", "3")), ""}},
      {{"split", folder / "small", "--parts", "20", "--subdir", "ten"},
       {0, Line(messages::kSplitDoneTitle, messages::SplitDone(folder / "small", "10")), ""}},
      {{"split", folder / "film.avi", "--size", "2K", "--subdir", "two"},
       {0, Line(messages::kSplitDoneTitle, messages::SplitDone(folder / "film.avi", "2")), ""}},
      {{"split", folder / "small", "--parts", "1001"},
       {1, "", Line(messages::kCountErrorTitle, cli_text::kPartsRange)}},
      {{"split", folder / "one", "--parts", "2"},
       {1, "", Line(messages::kSizeErrorTitle, cli_text::kTooShortForParts)}},
      {{"split", folder / "missing.avi"},
       {2, "",
        "Ошибка выполнения: Ошибка 2. Не удалось открыть файл \"" + (folder / "missing.avi") +
            "\": файл или директория не найдены.\n"}},
      {{"--help"}, {0, cli_text::kUsage, ""}},
      {{"--version"}, {0, "parcelo-cli " PARCELO_VERSION "\n", ""}}};
  for (const auto& [arguments, expected] : rows) {
    const auto result = RunCli(arguments);
    EXPECT_EQ(std::tie(result.status, result.out, result.err),
              std::tie(expected.status, expected.out, expected.err))
        << arguments.back();
  }
  EXPECT_EQ(ReadFile(folder / "002.drb"), "56789");
  EXPECT_EQ(ReadFile(folder / "three/003.drb"), "89");  // 10 bytes in 3 parts: 4, 4 and 2
  EXPECT_FALSE(std::filesystem::exists(folder / "bad/film.avi"));
  // A wrong argument that can be named is named before the usage.
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
    const auto result = RunCli(usage);
    const std::string said = named.empty() ? "" : "parcelo-cli: " + named + "\n";
    EXPECT_EQ(std::tuple(result.status, result.out, result.err),
              std::tuple(64, std::string(), said + text::kUsage))
        << ::testing::PrintToString(usage);
  }
  // What could not be written to standard output is an error too.
  const std::string full =
      ShellQuoted(std::getenv("PARCELO_CLI")) + " --help >/dev/full 2>/dev/null";
  EXPECT_EQ(WEXITSTATUS(std::system(full.c_str())), 2);
}

}  // namespace
}  // namespace parcelo::testing
