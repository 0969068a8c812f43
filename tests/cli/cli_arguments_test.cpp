#include "cli/cli_arguments.h"

#include <gtest/gtest.h>

namespace parcelo {
namespace {

using Args = std::vector<std::string>;

TEST(CliArguments, SplitTakesSizeAndSubfolderInAnyOrder) {
  auto command = ParseCliArguments({"split", "--subdir", "out", "film.avi", "--size=1e3"});
  ASSERT_TRUE(command);
  EXPECT_EQ(command->kind, CliCommand::Kind::Split);
  EXPECT_EQ(command->split.sourcePath, "film.avi");
  EXPECT_EQ(command->split.pieceSizeText, "1e3");
  EXPECT_TRUE(command->split.newFolder);
  EXPECT_EQ(command->split.newFolderName, "out");

  command = ParseCliArguments({"split", "film.avi", "--subdir="});
  ASSERT_TRUE(command);
  EXPECT_TRUE(command->split.newFolder);
  EXPECT_EQ(command->split.newFolderName, "");
  EXPECT_EQ(command->split.pieceSizeText, "1000000");

  command = ParseCliArguments({"split", "film.avi"});
  ASSERT_TRUE(command);
  EXPECT_FALSE(command->split.newFolder);
}

TEST(CliArguments, JoinDropsTrailingSeparatorsButKeepsTheRoot) {
  EXPECT_EQ(ParseCliArguments({"join", "/data/set/"})->folder, "/data/set");
  EXPECT_EQ(ParseCliArguments({"join", "/data/set//"})->folder, "/data/set");
  EXPECT_EQ(ParseCliArguments({"join", "/"})->folder, "/");
  EXPECT_EQ(ParseCliArguments({"join", "set"})->folder, "set");
}

TEST(CliArguments, RejectsWhatDoesNotFitTheUsage) {
  for (const Args& args : {Args{}, Args{"split"}, Args{"split", "a", "b"},
                           Args{"split", "a", "--size"}, Args{"split", "a", "--bogus"},
                           Args{"join"}, Args{"join", "a", "b"}, Args{"merge", "a"},
                           Args{"--help", "x"}}) {
    EXPECT_FALSE(ParseCliArguments(args)) << ::testing::PrintToString(args);
  }
  EXPECT_EQ(ParseCliArguments({"--help"})->kind, CliCommand::Kind::Help);
}

}  // namespace
}  // namespace parcelo
