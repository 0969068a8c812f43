#include "partset/info_file.h"

#include <gtest/gtest.h>

#include "support/expect_file_error.h"
#include "support/fuzz_checks.h"
#include "support/temp_folder.h"

namespace parcelo {
namespace {

TEST(InfoFile, HoldsTheNameThenCrLfAndReadsBackItsFirstLine) {
  testing::TempFolder folder;
  WriteInfoFile(folder.path() + "/", "film.avi");
  EXPECT_EQ(testing::ReadFile(folder / "Infa.inf"), "film.avi\r\n");
  const std::pair<std::string, std::string> rows[] = {
      {"film.avi\r\n", "film.avi"}, {"  my film .avi  \r\nrest", "my film .avi"}, {"no line end", "no line end"},
      {"\r\n", ""}, {"lf\nonly\n", "lf\nonly\n"}, {"\tname\t\r\n", "\tname\t"}, {"кино.avi\r\n", "кино.avi"}};
  for (const auto& [content, name] : rows) {
    testing::WriteFile(folder / "Infa.inf", content);
    EXPECT_EQ(ReadInfoFile(folder / "Infa.inf"), name) << content;
  }
  testing::WriteFile(folder / "Infa.inf", std::string(1 << 20, 'a'));
  EXPECT_LE(ReadInfoFile(folder / "Infa.inf").size(), 8192u);  // only the start is read
}

TEST(InfoFile, MissingOrEmptyFileIsAnError) {
  testing::TempFolder folder;
  const auto read = [&] { ReadInfoFile(folder / "Infa.inf"); };
  testing::ExpectFileError(read, ENOENT, folder / "Infa.inf");
  testing::WriteFile(folder / "Infa.inf", "");
  testing::ExpectFileError(read, kUnexpectedEnd, folder / "Infa.inf");
}

TEST(InfoFile, PassesItsFuzzCorpus) { EXPECT_GT(testing::ReplayCorpus("info_file", testing::CheckInfoFile), 5); }

}  // namespace
}  // namespace parcelo
