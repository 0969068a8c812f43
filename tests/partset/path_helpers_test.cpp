#include "partset/path_helpers.h"

#include <gtest/gtest.h>

namespace parcelo {
namespace {

struct PathRow {
  const char* path;
  char separator;
  const char* folder;
  const char* name;
};

std::ostream& operator<<(std::ostream& out, const PathRow& row) {
  return out << row.path << " with " << row.separator;
}

class PathHelpersTest : public ::testing::TestWithParam<PathRow> {};

TEST_P(PathHelpersTest, CutsAtTheRightmostSeparator) {
  const PathRow& row = GetParam();
  EXPECT_EQ(FolderOf(row.path, row.separator), row.folder) << row.path;
  EXPECT_EQ(FileNameOf(row.path, row.separator), row.name) << row.path;
}

INSTANTIATE_TEST_SUITE_P(
    Windows, PathHelpersTest,
    ::testing::Values(PathRow{R"(C:\Data\film.avi)", '\\', R"(C:\Data)", "film.avi"},
                      PathRow{R"(C:\film.avi)", '\\', "C:", "film.avi"},
                      PathRow{"film.avi", '\\', "", ""},
                      PathRow{R"(C:\Data\)", '\\', R"(C:\Data)", ""},
                      PathRow{R"(\\server\share\x.bin)", '\\', R"(\\server\share)", "x.bin"},
                      PathRow{R"(\x)", '\\', "", "x"},
                      PathRow{"C:/Data/film.avi", '\\', "", ""},
                      PathRow{"", '\\', "", ""}));

INSTANTIATE_TEST_SUITE_P(
    Posix, PathHelpersTest,
    ::testing::Values(PathRow{"/home/u/film.avi", '/', "/home/u", "film.avi"},
                      PathRow{"/film.avi", '/', "", "film.avi"},
                      PathRow{"film.avi", '/', "", ""},
                      PathRow{"/home/u/", '/', "/home/u", ""},
                      PathRow{R"(/a\b)", '/', "", R"(a\b)"}));

TEST(IsPlainFileName, RefusesNamesThatLeaveTheFolder) {
  EXPECT_TRUE(IsPlainFileName("film.avi", '/'));
  EXPECT_TRUE(IsPlainFileName(" spaced name ", '/'));
  EXPECT_TRUE(IsPlainFileName("...", '/'));
  EXPECT_TRUE(IsPlainFileName(std::string(255, 'a'), '/'));
  EXPECT_FALSE(IsPlainFileName(std::string(256, 'a'), '/'));
  for (const char* bad : {"", ".", "..", "../x", "a/b", "/etc/passwd", "x\ny", "x\ty"}) {
    EXPECT_FALSE(IsPlainFileName(bad, '/')) << bad;
  }
  EXPECT_FALSE(IsPlainFileName(std::string("a\0b", 3), '/'));
  EXPECT_FALSE(IsPlainFileName(R"(..\x)", '\\'));
}

TEST(AbsolutePath, ResolvesRelativePathsAgainstTheCurrentFolder) {
  const std::string absolute = AbsolutePath("film.avi");
  EXPECT_EQ(absolute.front(), kSeparator);
  EXPECT_EQ(FileNameOf(absolute), "film.avi");
  EXPECT_EQ(AbsolutePath("/x/y"), "/x/y");
}

}  // namespace
}  // namespace parcelo
