#include "io/console.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace parcelo::testing {
namespace {

TEST(Console, TellsATerminalFromAFile) {
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(master, 0);
  ASSERT_EQ(grantpt(master) | unlockpt(master), 0);
  std::FILE* terminal = std::fopen(ptsname(master), "w");
  std::FILE* file = std::tmpfile();
  ASSERT_TRUE(terminal && file);
  EXPECT_EQ(std::pair(IsTerminal(terminal), IsTerminal(file)), std::pair(true, false));
  for (std::FILE* stream : {terminal, file}) std::fclose(stream);
  close(master);
}

}  // namespace
}  // namespace parcelo::testing
