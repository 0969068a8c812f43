#include "partset/checksum_file.h"

#include <gtest/gtest.h>

namespace parcelo {
namespace {

const std::string kA(64, 'a'), kB(64, 'b');

TEST(ChecksumFile, WritesWhatSha256sumReadsAndReadsItBack) {
#ifdef _WIN32
  GTEST_SKIP() << "the name sha256sum escapes holds a backslash, which no Windows name does";
#endif
  const std::string text = ChecksumFileText({{"001.drb", kA}, {"back\\slash.bin", kB}});
  EXPECT_EQ(text, kA + "  001.drb\n\\" + kB + "  back\\\\slash.bin\n");
  const auto sums = ParseChecksumFile(text);
  ASSERT_TRUE(sums);
  EXPECT_EQ(sums->parts, (std::map<std::string, std::string>{{"001.drb", kA}}));
  ASSERT_TRUE(sums->whole);
  EXPECT_EQ(sums->whole->name, "back\\slash.bin");
  // Binary-mode marks, CR LF line ends and capital hex digits are read too.
  const auto other =
      ParseChecksumFile(std::string(64, 'A') + " *002.DRB\r\n" + kB + "  film.avi\r\n");
  ASSERT_TRUE(other);
  EXPECT_EQ(other->parts.at("002.DRB"), kA);
  EXPECT_EQ(other->whole->digest, kB);
}

// A file that can't be trusted to describe the set is refused whole.
TEST(ChecksumFile, RefusesMalformedFiles) {
  const std::string rows[] = {"",
                              kA + "  001.drb",  // no line end
                              kA + "  001.drb\n\n",
                              std::string(63, 'a') + "g  001.drb\n",
                              kA + " 001.drb\n",
                              kA + "  001.drb\n" + kB + "  001.drb\n",
                              kA + "  a.bin\n" + kB + "  b.bin\n",  // two whole files
                              kA + "  ../001.drb\n",
                              kA + "  Infa.inf\n",
                              "\\" + kA + "  bad\\escape.drb\n"};
  for (const std::string& content : rows) EXPECT_FALSE(ParseChecksumFile(content)) << content;
}

}  // namespace
}  // namespace parcelo
