#include "io/console.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <tuple>

namespace parcelo::testing {
namespace {

TEST(Console, TellsATerminalFromAFileOrAPipe) {
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(master, 0);
  ASSERT_EQ(grantpt(master) | unlockpt(master), 0);
  std::FILE* terminal = std::fopen(ptsname(master), "w");
  int pipeEnds[2];
  ASSERT_EQ(pipe(pipeEnds), 0);
  std::FILE* pipe = fdopen(pipeEnds[1], "w");
  std::FILE* file = std::tmpfile();
  ASSERT_TRUE(terminal && pipe && file);
  EXPECT_EQ(std::tuple(IsTerminal(terminal), IsTerminal(pipe), IsTerminal(file)), std::tuple(true, false, false));
  for (std::FILE* stream : {terminal, pipe, file}) std::fclose(stream);
  close(pipeEnds[0]);
  close(master);
}

}  // namespace
}  // namespace parcelo::testing
