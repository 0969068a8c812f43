#include "partset/info_file.h"

#include <gtest/gtest.h>

#include "io/file_error.h"
#include "support/expect_file_error.h"
#include "support/temp_folder.h"

namespace parcelo {
namespace {

using testing::ReadFile;
using testing::TempFolder;
using testing::WriteFile;

TEST(InfoFile, HoldsTheNameThenCrLf) {
  TempFolder folder;
  WriteInfoFile(folder.path() + "/", "film.avi");
  EXPECT_EQ(ReadFile(folder / "Infa.inf"), "film.avi\r\n");
  WriteInfoFile(folder.path() + "/", "");
  EXPECT_EQ(ReadFile(folder / "Infa.inf"), "\r\n");
  EXPECT_EQ(testing::FolderEntries(folder.path()), std::vector<std::string>{"Infa.inf"});
}

TEST(InfoFile, ReadsTheFirstLineUpToTheFirstCr) {
  TempFolder folder;
  const std::pair<std::string, std::string> rows[] = {
      {"film.avi\r\n", "film.avi"},
      {"  my film .avi  \r\nrest\r\n", "my film .avi"},
      {"no line end", "no line end"},
      {"a\r", "a"},
      {"\r\n", ""},
      {"   \r\n", ""},
      {"lf\nonly\n", "lf\nonly\n"},
      {"\tname\t\r\n", "\tname\t"},
      {"кино.avi\r\n", "кино.avi"},
  };
  for (const auto& [content, name] : rows) {
    WriteFile(folder / "Infa.inf", content);
    EXPECT_EQ(ReadInfoFile(folder / "Infa.inf"), name) << content;
  }
}

TEST(InfoFile, MissingOrEmptyFileIsAnError) {
  TempFolder folder;
  const auto read = [&] { ReadInfoFile(folder / "Infa.inf"); };
  testing::ExpectFileError(read, ENOENT, folder / "Infa.inf");
  WriteFile(folder / "Infa.inf", "");
  testing::ExpectFileError(read, kUnexpectedEnd, folder / "Infa.inf");
}

TEST(InfoFile, ReadsOnlyABoundedStartOfAHugeLine) {
  TempFolder folder;
  WriteFile(folder / "Infa.inf", std::string(1 << 20, 'a') + "\r\n");
  const std::string name = ReadInfoFile(folder / "Infa.inf");
  EXPECT_GT(name.size(), 255u);  // too long for any file system to take
  EXPECT_LE(name.size(), 8192u);
}

}  // namespace
}  // namespace parcelo
