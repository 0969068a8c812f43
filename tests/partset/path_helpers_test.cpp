#include "partset/path_helpers.h"

#include <gtest/gtest.h>

#include <tuple>

namespace parcelo {
namespace {

// Windows takes both separators, and a drive's root stays a root: a set
// beside C:\film.avi belongs in C:\, not in the current folder of drive C.
// Plain file names stay inside their folder.
TEST(PathHelpers, CutAtTheRightmostSeparatorKeepingRootsAndTellPlainFileNames) {
  using enum PathStyle;
  // The path, its style, its folder, its file name, the length of its root.
  const std::tuple<const char*, PathStyle, const char*, const char*, std::size_t> rows[] = {
      {"/home/u/film.avi", Posix, "/home/u", "film.avi", 1},
      {"/film.avi", Posix, "", "film.avi", 1},
      {"film.avi", Posix, "", "", 0},
      {"/data/", Posix, "/data", "", 1},
      {R"(/a\b)", Posix, "", R"(a\b)", 1},
      {"C:/x", Posix, "C:", "x", 0},
      {R"(C:\dir/film.avi)", Windows, R"(C:\dir)", "film.avi", 3},
      {R"(C:\film.avi)", Windows, R"(C:\)", "film.avi", 3},
      {"C:film.avi", Windows, "", "", 2},
      {R"(\\server\share\x.bin)", Windows, R"(\\server\share)", "x.bin", 15},
      {R"(\film.avi)", Windows, "", "film.avi", 1}};
  for (const auto& [path, style, folder, name, root] : rows) {
    EXPECT_EQ(std::tuple(FolderOf(path, style), FileNameOf(path, style), RootLength(path, style)),
              std::tuple(folder, name, root))
        << path;
  }
  // NTFS counts a name's length in UTF-16 units: 255 Cyrillic letters (510
  // bytes) fit, 128 characters outside the BMP (two units each) don't.
  std::string cyrillic, astral;
  for (int i = 0; i < 255; ++i) cyrillic += "ж";
  for (int i = 0; i < 128; ++i) astral += "\U0001F600";
  const std::pair<PathStyle, std::vector<std::string>> good[] = {
      {PathStyle::Posix, {" spaced name ", "...", R"(..\x)", "a:b", std::string(255, 'a')}},
      {PathStyle::Windows,
       {"Фильм №1.avi", ".hidden", "console.txt", "COM0", "LPT10.txt", "COM\u2074", "LPT\u00B9\u00B9", "a..b",
        cyrillic}}};
  const std::pair<PathStyle, std::vector<std::string>> bad[] = {
      {PathStyle::Posix, {"", ".", "..", "../x", "/etc/passwd", "x\ny", std::string("a\0b", 3), std::string(256, 'a')}},
      {PathStyle::Windows,
       {R"(a\b)", "a/b",       "a:b",           "a<b",          R"(a"b)",       "a|b",  "a?b",
        "a*b",    "name.",     "name ",         "CON",          "nul.txt",      "Com1", "LPT9.tar.gz",
        "AUX .x", "COM\u00B9", "lpt\u00B2.txt", "Com\u00B3 .x", cyrillic + "ж", astral}}};
  for (const auto& [style, names] : good) {
    for (const std::string& name : names) EXPECT_TRUE(IsPlainFileName(name, style)) << name;
  }
  for (const auto& [style, names] : bad) {
    for (const std::string& name : names) EXPECT_FALSE(IsPlainFileName(name, style)) << name;
  }
  // What the refusal names: the first fault found, where the split's tests don't look.
  const std::pair<std::string, NameFault> faults[] = {
      {"a?.", NameFault::kReservedCharacter}, {"a .", NameFault::kTrailingDot}, {"nul", NameFault::kDeviceName}};
  for (const auto& [name, fault] : faults) EXPECT_EQ(PlainFileNameFault(name, PathStyle::Windows), fault) << name;
}

}  // namespace
}  // namespace parcelo
