#include "partset/info_file.h"

#include <gtest/gtest.h>

#include "support/fuzz_checks.h"

namespace parcelo {
namespace {

TEST(InfoFile, HoldsTheNameThenCrLfAndGivesBackItsFirstLine) {
  EXPECT_EQ(InfoFileText("film.avi"), "film.avi\r\n");
  const std::pair<std::string, std::string> rows[] = {
      {"film.avi\r\n", "film.avi"}, {"  my film .avi  \r\nrest", "my film .avi"}, {"no line end", "no line end"},
      {"\r\n", ""}, {"lf\nonly\n", "lf\nonly\n"}, {"\tname\t\r\n", "\tname\t"}, {"кино.avi\r\n", "кино.avi"}};
  for (const auto& [content, name] : rows) EXPECT_EQ(NameInInfoFile(content), name) << content;
}

TEST(InfoFile, KeepsOnlyNamesItCanGiveBackUnchanged) {
  for (const std::string name : {"film.avi", "my film.avi", "кино.avi", ".hidden", "x.drb.txt", "Infa.inf.bak"}) {
    EXPECT_TRUE(InfoFileKeepsName(name)) << name;
    EXPECT_EQ(NameInInfoFile(InfoFileText(name)), name);
  }
  for (const std::string name : {"report\rdraft", "tab\tname", "line\nfeed", "esc\x1b", "del\x7f", " lead", "trail ",
                                 "   ", "", "Infa.inf", "INFA.INF", "001.drb", "old.DRB", ".drb"}) {
    EXPECT_FALSE(InfoFileKeepsName(name)) << name;
  }
}

TEST(InfoFile, PassesItsFuzzCorpus) { EXPECT_GT(testing::ReplayCorpus("info_file", testing::CheckInfoFile), 5); }

}  // namespace
}  // namespace parcelo
