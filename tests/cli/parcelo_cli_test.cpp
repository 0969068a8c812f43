// Runs the real parcelo-cli and checks what a user sees: the exit status and the lines on standard
// output and standard error. What the work does to the files is the split's and the join's tests'.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "cli/cli_texts.h"
#include "operation/messages.h"
#include "parcelo_version.h"
#include "support/cli_runner.h"

namespace parcelo::testing {
namespace {

namespace fs = std::filesystem;
using namespace messages;
using namespace std::literals;

// What a user sees of work done: status 0 and its box on standard output.
CliResult Done(const std::string& title, const std::string& text) { return {0, title + ": " + text + "\n", ""}; }
// Of work refused (status 1) or failed (2): the box on standard error.
CliResult Stopped(int status, const std::string& title, const std::string& text) {
  return {status, "", title + ": " + text + "\n"};
}
// Of wrong arguments: the usage on standard error, after the wrong one where it can be named.
CliResult Usage(const std::string& named = "") {
  return {64, "", (named.empty() ? "" : "parcelo-cli: " + named + "\n") + cli_text::kUsage};
}
CliResult SplitDoneOut(const char* source, const char* parts) {
  return Done(kSplitDoneTitle, SplitDone(source, parts));
}
CliResult JoinDoneOut(const char* output) { return Done(kJoinDoneTitle, JoinDone(output)); }

// The rows run in order, in a folder holding "small" (ten bytes), "one" (one byte), "film.avi"
// (2500 bytes), "sub/film.avi" beside an empty "sub/x.drb", and "edited/film.avi", modified an hour after the split
// that the rows make there.
TEST(ParceloCli, TellsWhatBecameOfEachCommandByItsStatusAndOutput) {
  TempFolder folder;
  WriteFile(folder / "small", "0123456789");
  WriteFile(folder / "one", "1");
  WriteFile(folder / "film.avi", PatternBytes(2500));
  fs::create_directories(folder / "sub/x.drb");
  WriteFile(folder / "sub/film.avi", PatternBytes(2500));
  fs::create_directory(folder / "edited");
  WriteFile(folder / "edited/film.avi", "edited after the split");
  fs::last_write_time(folder / "edited/film.avi", fs::file_time_type::clock::now() + 1h);
  const std::pair<Strings, CliResult> rows[] = {
      // Parts beside a source named from the current folder; a bare name there is the info file of
      // the set in it.
      {{"split", "small", "--subdir=", "--size", "5", "--quiet"},
       Done(kSplitDoneTitle, "Поздравляем! Выбранный файл small был разбит на 2 части(ей)!")},
      {{"join", "Infa.inf"}, JoinDoneOut("./small")},
      // A count of parts makes pieces rounded up (4, 4 and 2 bytes), no more than the bytes.
      {{"split", "small", "--parts=3", "--subdir", "three"}, SplitDoneOut("small", "3")},
      {{"split", "small", "--parts", "20", "--subdir", "ten"}, SplitDoneOut("small", "10")},
      // The join takes the set's folder, even one named like a part (made beforehand: the split makes
      // none), or any part in any case.
      {{"split", "sub/film.avi", "--size=2K", "--subdir", "x.drb", "--checksums"}, SplitDoneOut("sub/film.avi", "2")},
      {{"join", "sub/x.drb/"}, JoinDoneOut("sub/x.drb/film.avi")},
      {{"join", "sub/x.drb//002.DRB"}, JoinDoneOut("sub/x.drb/film.avi")},
      {{"check", "--quiet", "sub/x.drb/Infa.inf"}, Done(kCheckDoneTitle, CheckDone("sub/x.drb", 2))},
      // Nobody is asked: a file edited since the split is replaced with "--replace" alone.
      {{"split", "film.avi", "--size", "1e3", "--subdir", "edited"}, SplitDoneOut("film.avi", "3")},
      {{"join", "edited"},
       {1, "", kReplaceEditedTitle + ": "s + ReplaceEdited("film.avi") + "\n" + cli_text::kReplaceHint + "\n"}},
      {{"join", "--replace", "edited"}, JoinDoneOut("edited/film.avi")},
      // Refused work (here the default piece size is not smaller than the file) and failed work.
      {{"split", "small"}, Stopped(1, kSizeErrorTitle, kPieceNotSmaller)},
      {{"split", "small", "--parts", "1001"}, Stopped(1, kCountErrorTitle, cli_text::kPartsRange)},
      {{"split", "one", "--parts", "2"}, Stopped(1, kSizeErrorTitle, cli_text::kTooShortForParts)},
      {{"split", "missing.avi"},
       Stopped(
           2, kErrorReportTitle,
           "Ошибка 2. Не удалось открыть файл \"" + folder / "missing.avi" + "\": файл или директория не найдены.")},
      {{"--help"}, {0, cli_text::kUsage, ""}},
      {{"--version"}, {0, "parcelo-cli " PARCELO_VERSION "\n", ""}},
      // Wrong arguments.
      {{}, Usage()},
      {{"split", "a", "b"}, Usage()},
      {{"split", "a", "--size"}, Usage()},
      {{"split", "a", "--bogus"}, Usage()},
      {{"join", "a", "b"}, Usage()},
      {{"check"}, Usage()},
      {{"merge", "a"}, Usage()},
      {{"split", "a", "--size", "700 Mo"}, Usage(cli_text::kNotSizeUnit + ": «Mo»"s)},
      {{"split", "a", "--parts", "3k"}, Usage(cli_text::kPartsNotWhole + ": «3k»"s)},
      {{"split", "a", "--parts=2", "--size=5"}, Usage(cli_text::kSizeWithParts + ": «--parts 2»"s)}};
  for (const auto& [arguments, expected] : rows) {
    const CliResult result = RunCli(arguments, folder.path());
    EXPECT_EQ(std::tie(result.status, result.out, result.err), std::tie(expected.status, expected.out, expected.err))
        << ::testing::PrintToString(arguments);
  }
}

TEST(ParceloCli, AStandardOutputThatCannotBeWrittenIsAnError) {
  const std::string full = ShellQuoted(std::getenv("PARCELO_CLI")) + " --help >/dev/full 2>/dev/null";
  EXPECT_EQ(WEXITSTATUS(std::system(full.c_str())), 2);
}

}  // namespace
}  // namespace parcelo::testing
