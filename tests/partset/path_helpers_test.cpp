#include "partset/path_helpers.h"

#include <gtest/gtest.h>

namespace parcelo {
namespace {

TEST(PathHelpers, CutAtTheRightmostSeparator) {
  struct Row {
    const char* path;
    const char* folder;
    const char* name;
  };
  const Row rows[] = {{"/home/u/film.avi", "/home/u", "film.avi"},
                      {"/film.avi", "", "film.avi"},
                      {"film.avi", "", ""},
                      {"/data/", "/data", ""},
                      {"//server/share/x.bin", "//server/share", "x.bin"},
                      {"", "", ""},
                      {R"(/a\b)", "", R"(a\b)"}};
  for (const Row& row : rows) {
    EXPECT_EQ(FolderOf(row.path), row.folder) << row.path;
    EXPECT_EQ(FileNameOf(row.path), row.name) << row.path;
  }
}

TEST(PathHelpers, PlainFileNamesStayInsideTheirFolder) {
  for (const std::string& good :
       std::vector<std::string>{"film.avi", " spaced name ", "...", R"(..\x)", std::string(255, 'a')}) {
    EXPECT_TRUE(IsPlainFileName(good)) << good;
  }
  for (const std::string& bad : std::vector<std::string>{"", ".", "..", "../x", "a/b", "/etc/passwd", "x\ny",
                                                         std::string("a\0b", 3), std::string(256, 'a')}) {
    EXPECT_FALSE(IsPlainFileName(bad)) << bad;
  }
}

}  // namespace
}  // namespace parcelo
