#include "partset/info_file.h"

#include <gtest/gtest.h>

#include "partset/name_encoding.h"

namespace parcelo {
namespace {

TEST(InfoFile, GivesBackItsFirstLineWithoutSpacesAtItsEnds) {
  const std::pair<std::string, std::string> rows[] = {
      {"film.avi\r\n", "film.avi"},   {"  my film .avi  \r\nrest", "my film .avi"},
      {"no line end", "no line end"}, {"\r\n", ""},
      {"lf\nonly\n", "lf\nonly\n"},   {"\tname\t\r\n", "\tname\t"},
      {"кино.avi\r\n", "кино.avi"}};
  for (const auto& [content, line] : rows)
    EXPECT_EQ(NameInInfoFile(content), line) << ::testing::PrintToString(content);
}

// Sets made on Russian Windows hold the name in Windows-1251; names written
// here are too where it holds them, so such programs read them right. Such
// text that also forms UTF-8 (a capital from В to Я before Ё or ё) is read
// as UTF-8, the guess's one loss: a name written here stays UTF-8 instead.
// Each row: a name, named by itself, and the bytes the info file holds: the name, then CR LF.
TEST(InfoFile, KeptNamesGoThroughWindows1251WhereItHoldsThem) {
  // clang-format off
  const std::pair<std::string, std::string> rows[] = {
      {"Фильм.avi", "\xD4\xE8\xEB\xFC\xEC.avi"}, {"ёжик №", "\xB8\xE6\xE8\xEA \xB9"},
      {"АЁ.txt", "\xC0\xA8.txt"},  // C0 A8 is no UTF-8
      {"café.txt", "café.txt"},    // no é in Windows-1251: UTF-8
      {"ВЁ.txt", "ВЁ.txt"},        // its Windows-1251 bytes would read as UTF-8 "¨"
      {"my film.avi", "my film.avi"}, {".hidden", ".hidden"}, {"x.drb.txt", "x.drb.txt"},
      {"Infa.inf.bak", "Infa.inf.bak"}};
  // clang-format on
  for (const auto& [name, bytes] : rows) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(InfoFileKeepsName(name));
    EXPECT_EQ(InfoFileText(name), bytes + "\r\n");
    EXPECT_EQ(NameInInfoFile(bytes + "\r\n"), name);
  }
}

// Names it can't give back unchanged, or that would be taken for the set's
// own files or a run's leftover temporaries, are not kept.
TEST(InfoFile, RefusesNamesItCannotGiveBack) {
  for (const std::string name : {"report\rdraft", "tab\tname", "del\x7f", " lead", "trail ", "", "INFA.INF", "old.DRB",
                                 "\xFF\xFE raw", ".parcelo-abc12345"})
    EXPECT_FALSE(InfoFileKeepsName(name)) << ::testing::PrintToString(name);
}

}  // namespace
}  // namespace parcelo
