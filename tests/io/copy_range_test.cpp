#include "io/copy_range.h"

#include <fcntl.h>
#include <gtest/gtest.h>

#include "io/file.h"
#include "io/file_error.h"
#include "io/progress_meter.h"
#include "support/faulty_sys_calls.h"
#include "support/expect_file_error.h"
#include "support/temp_folder.h"

namespace parcelo {
namespace {

using testing::TempFolder;

struct CopyFixture : ::testing::Test {
  TempFolder folder;
  std::string source = testing::PatternBytes(3 * RangeCopier::kBufferSize + 12345);

  CopyFixture() { testing::WriteFile(folder / "in", source); }

  File Output() {
    const std::string path = folder / "out";
    return File(Sys().Open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), path);
  }
};

TEST_F(CopyFixture, CopiesARangeAcrossManyBufferFills) {
  testing::FaultySysCalls faults;  // no block sharing: the buffer path
  ScopedSysCalls scope(faults);
  const File in = File::OpenForReading(folder / "in");
  File out = Output();
  RangeCopier copier;
  std::vector<std::pair<std::uint64_t, std::uint64_t>> reports;
  Progress progress = [&](std::uint64_t done, std::uint64_t total) {
    reports.emplace_back(done, total);
  };
  ProgressMeter meter(progress, source.size());
  copier.Copy(in, 1000, out, 0, source.size() - 2000, meter);
  meter.Finish();
  out.Close();
  EXPECT_EQ(testing::ReadFile(folder / "out"), source.substr(1000, source.size() - 2000));
  ASSERT_FALSE(reports.empty());
  EXPECT_EQ(reports.back().first, source.size() - 2000);
  EXPECT_EQ(reports.back().second, source.size());
}

TEST_F(CopyFixture, SourceEndingEarlyIsAnErrorNotAShortCopy) {
  const File in = File::OpenForReading(folder / "in");
  File out = Output();
  RangeCopier copier;
  ProgressMeter meter({}, 0);
  testing::ExpectFileError([&] { copier.Copy(in, 0, out, 0, source.size() + 1, meter); },
                           kUnexpectedEnd, folder / "in");
}

TEST_F(CopyFixture, FallsBackToCopyingWhenBlocksCanNotBeShared) {
  for (const int refusal : {EOPNOTSUPP, EXDEV, EINVAL}) {
    testing::FaultySysCalls faults;
    faults.cloneError = refusal;
    ScopedSysCalls scope(faults);
    const File in = File::OpenForReading(folder / "in");
    File out = Output();
    RangeCopier copier;
    ProgressMeter meter({}, 0);
    copier.Copy(in, 0, out, 0, source.size(), meter);
    out.Close();
    EXPECT_EQ(testing::ReadFile(folder / "out"), source) << refusal;
  }
}

}  // namespace
}  // namespace parcelo
