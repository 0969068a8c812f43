#include "io/stop_signals.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>

#include "split/split.h"
#include "support/faulty_sys_calls.h"
#include "support/temp_folder.h"

namespace parcelo::testing {
namespace {

// A source of 24 MiB beside an earlier set.
struct StopSignals : ::testing::Test {
  StopSignals() {
    WriteFile(folder / "f", PatternBytes(24 << 20));
    WriteFile(folder / "Infa.inf", "f\r\n");
    WriteFile(folder / "001.drb", "old");
  }
  TempFolder folder;
};

// As parcelo-cli and the window do: a stop signal cancels the work at its
// next step, what it began is removed (the earlier set stays whole), then
// the program ends by the signal. Named temporaries too, where the file
// system has no unnamed ones. Killed outright, the split leaves no
// temporary either: it has unnamed ones (skipped where there are none).
TEST_F(StopSignals, AStoppedSplitLeavesTheFolderAsItWas) {
  const int probe = open(folder.path().c_str(), O_TMPFILE | O_WRONLY, 0600);
  if (probe >= 0) close(probe);
  const std::tuple<std::string, int, bool> rows[] = {{"SIGINT", SIGINT, false},
                                                     {"SIGTERM", SIGTERM, false},
                                                     {"SIGHUP, named", SIGHUP, true},
                                                     {"SIGKILL", SIGKILL, false}};
  for (const auto& [name, signal, named] : rows) {
    SCOPED_TRACE(name);
    if (signal == SIGKILL && probe < 0) GTEST_SKIP() << "no unnamed temporary files here";
    const auto stoppedSplit = [&] {
      FaultySysCalls layer;
      layer.unnamedError = named ? EOPNOTSUPP : 0;
      ScopedSysCalls scope(layer);
      CatchStopSignals();
      const Report report = Split({folder / "f", "8000000", false, ""}, [&](const ProgressReport& progress) {
        if (progress.part == 3) std::raise(signal);
        if (StopSignal() != 0) throw OperationCancelled{};
      });
      if (report.outcome == Outcome::Cancelled) EndByStopSignal();
    };
    EXPECT_EXIT(stoppedSplit(), ::testing::KilledBySignal(signal), "");
    EXPECT_EQ(FolderEntries(folder.path()), (Strings{"001.drb", "Infa.inf", "f"}));
    EXPECT_EQ(ReadFile(folder / "001.drb") + ReadFile(folder / "Infa.inf"), "oldf\r\n");
  }
}

// SIGXFSZ is no stop signal: a file-size limit is a write error naming the
// file, not a silent end.
TEST_F(StopSignals, AFileSizeLimitIsAWriteError) {
  const auto limitedSplit = [&] {
    CatchStopSignals();
    const rlimit limit{1 << 20, 1 << 20};
    setrlimit(RLIMIT_FSIZE, &limit);
    const Report report = Split({folder / "f", "4000000", false, ""});
    _exit(report.errorCode == EFBIG && report.errorPath == folder / "001.drb" ? 0 : 1);
  };
  EXPECT_EXIT(limitedSplit(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace parcelo::testing
