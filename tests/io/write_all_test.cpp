#include "io/write_all.h"

#include <fcntl.h>
#include <gtest/gtest.h>

#include "io/file.h"
#include "io/file_error.h"
#include "support/faulty_sys_calls.h"
#include "support/expect_file_error.h"
#include "support/temp_folder.h"

namespace parcelo {
namespace {

using testing::FaultySysCalls;
using testing::TempFolder;

File CreateFile(const std::string& path) {
  return File(Sys().Open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), path);
}

TEST(WriteAll, SurvivesInterruptionsAndShortWrites) {
  TempFolder folder;
  const std::string bytes = testing::PatternBytes(100000);
  FaultySysCalls faults;
  faults.interrupt = true;
  faults.maxBytesPerCall = 777;
  {
    ScopedSysCalls scope(faults);
    File file = CreateFile(folder / "out");
    WriteAll(file, bytes.data(), bytes.size(), 0);
    file.Close();
  }
  EXPECT_GT(faults.interruptedCalls, 100);
  EXPECT_EQ(testing::ReadFile(folder / "out"), bytes);
}

TEST(WriteAll, ReportsAFullDiskWithTheFileName) {
  TempFolder folder;
  const std::string bytes(5000, 'x');
  for (const bool silent : {false, true}) {
    FaultySysCalls faults;
    faults.maxBytesPerCall = 1000;
    if (silent) {
      faults.zeroWriteAfter = 3000;  // a write that moves nothing
    } else {
      faults.writeError = ENOSPC;
      faults.writeErrorAfter = 3000;
    }
    ScopedSysCalls scope(faults);
    File file = CreateFile(folder / "out");
    const auto error = testing::ExpectFileError(
        [&] { WriteAll(file, bytes.data(), bytes.size(), 0); }, ENOSPC, folder / "out");
    EXPECT_TRUE(error && error->operation() == FileOperation::Write);
  }
}

}  // namespace
}  // namespace parcelo
