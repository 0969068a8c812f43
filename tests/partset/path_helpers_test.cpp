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
    EXPECT_EQ(FolderOf(row.path, PathStyle::Posix), row.folder) << row.path;
    EXPECT_EQ(FileNameOf(row.path, PathStyle::Posix), row.name) << row.path;
  }
}

// Windows takes both separators, and a drive's root stays a root: a set
// beside C:\film.avi belongs in C:\, not in the current folder of drive C.
TEST(PathHelpers, WindowsPathsCutAtEitherSeparatorAndKeepDriveRoots) {
  struct Row {
    const char* path;
    const char* folder;
    const char* name;
    std::size_t root;
  };
  const Row rows[] = {{R"(C:\Users\u\film.avi)", R"(C:\Users\u)", "film.avi", 3},
                      {"C:/Users/u/film.avi", "C:/Users/u", "film.avi", 3},
                      {R"(C:\dir/film.avi)", R"(C:\dir)", "film.avi", 3},
                      {R"(C:\film.avi)", R"(C:\)", "film.avi", 3},
                      {"C:film.avi", "", "", 2},
                      {R"(\\server\share\x.bin)", R"(\\server\share)", "x.bin", 15},
                      {R"(\film.avi)", "", "film.avi", 1},
                      {"film.avi", "", "", 0}};
  for (const Row& row : rows) {
    EXPECT_EQ(FolderOf(row.path, PathStyle::Windows), row.folder) << row.path;
    EXPECT_EQ(FileNameOf(row.path, PathStyle::Windows), row.name) << row.path;
    EXPECT_EQ(RootLength(row.path, PathStyle::Windows), row.root) << row.path;
  }
  EXPECT_EQ(RootLength("C:/x", PathStyle::Posix), 0u);
}

TEST(PathHelpers, PlainFileNamesStayInsideTheirFolder) {
  for (const std::string& good :
       std::vector<std::string>{"film.avi", " spaced name ", "...", R"(..\x)", std::string(255, 'a')}) {
    EXPECT_TRUE(IsPlainFileName(good, PathStyle::Posix)) << good;
  }
  for (const std::string& bad : std::vector<std::string>{"", ".", "..", "../x", "a/b", "/etc/passwd", "x\ny",
                                                         std::string("a\0b", 3), std::string(256, 'a')}) {
    EXPECT_FALSE(IsPlainFileName(bad, PathStyle::Posix)) << bad;
  }
}

// NTFS counts a name's length in UTF-16 units: 255 Cyrillic letters (510
// bytes) fit, 128 characters outside the BMP (two units each) don't.
TEST(PathHelpers, WindowsNamesFollowWindowsRules) {
  std::string cyrillic;
  for (int i = 0; i < 255; ++i) cyrillic += "ж";
  std::string astral;
  for (int i = 0; i < 128; ++i) astral += "\U0001F600";
  for (const std::string& good : std::vector<std::string>{"film.avi", "Фильм №1.avi", ".hidden", "console.txt", "COM0",
                                                          "LPT10.txt", "a..b", cyrillic}) {
    EXPECT_TRUE(IsPlainFileName(good, PathStyle::Windows)) << good;
  }
  for (const std::string& bad : std::vector<std::string>{
           R"(a\b)", "a/b", "a:b", "a<b", "a>b",     R"(a"b)", "a|b",         "a?b",    "a*b",          "name.",
           "name ",  "..",  "CON", "con", "nul.txt", "Com1",   "LPT9.tar.gz", "AUX .x", cyrillic + "ж", astral}) {
    EXPECT_FALSE(IsPlainFileName(bad, PathStyle::Windows)) << bad;
  }
  EXPECT_TRUE(IsPlainFileName("a:b", PathStyle::Posix));
}

}  // namespace
}  // namespace parcelo
