#include "partset/checksum_file.h"

#include <gtest/gtest.h>

namespace parcelo {
namespace {

const std::string kA(64, 'a'), kB(64, 'b');

// A name with a backslash is escaped as sha256sum escapes it.
TEST(ChecksumFile, WritesWhatSha256sumReads) {
  EXPECT_EQ(ChecksumFileText({{"001.drb", kA}, {"back\\slash.bin", kB}}),
            kA + "  001.drb\n\\" + kB + "  back\\\\slash.bin\n");
}

TEST(ChecksumFile, ReadsBackThePartsAndTheWholeFile) {
#ifdef _WIN32
  GTEST_SKIP() << "the name sha256sum escapes holds a backslash, which no Windows name does";
#endif
  const auto sums = ParseChecksumFile(ChecksumFileText({{"001.drb", kA}, {"back\\slash.bin", kB}}));
  ASSERT_TRUE(sums);
  EXPECT_EQ(sums->parts, (std::map<std::string, std::string>{{"001.drb", kA}}));
  ASSERT_TRUE(sums->whole);
  EXPECT_EQ(sums->whole->name, "back\\slash.bin");
}

TEST(ChecksumFile, ReadsBinaryMarksCrLfAndCapitalHexDigits) {
  const auto sums = ParseChecksumFile(std::string(64, 'A') + " *002.DRB\r\n" + kB + "  film.avi\r\n");
  ASSERT_TRUE(sums);
  EXPECT_EQ(sums->parts.at("002.DRB"), kA);
  EXPECT_EQ(sums->whole->digest, kB);
}

// A file that can't be trusted to describe the set is refused whole.
TEST(ChecksumFile, RefusesMalformedFiles) {
  // clang-format off
  const std::pair<const char*, std::string> rows[] = {
      {"empty", ""},                               {"no line end", kA + "  001.drb"},
      {"empty line", kA + "  001.drb\n\n"},        {"one space", kA + " 001.drb\n"},
      {"no hex digit", std::string(63, 'a') + "g  001.drb\n"},
      {"a part twice", kA + "  001.drb\n" + kB + "  001.drb\n"},
      {"two whole files", kA + "  a.bin\n" + kB + "  b.bin\n"},
      {"outside the folder", kA + "  ../001.drb\n"}, {"the info file", kA + "  Infa.inf\n"},
      {"unknown escape", "\\" + kA + "  bad\\escape.drb\n"}};
  // clang-format on
  for (const auto& [name, content] : rows) EXPECT_FALSE(ParseChecksumFile(content)) << name;
}

}  // namespace
}  // namespace parcelo
