#include "io/same_content.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "io/file.h"
#include "support/faulty_sys_calls.h"
#include "support/temp_folder.h"

namespace parcelo::testing {
namespace {

// Files of several chunks are compared to their end, also when reads come
// short and interrupted; a hole equals the zero bytes it reads as.
TEST(SameContent, ComparesEveryByteWhateverTheReadsReturn) {
  TempFolder folder;
  const std::string bytes = PatternBytes(700001);
  std::string lastDiffers = bytes;
  lastDiffers.back() ^= 1;
  WriteFile(folder / "hole", "");
  std::filesystem::resize_file(folder / "hole", 300000);
  // The second file's bytes (the first has `bytes`, or the hole's zeros), and whether they are the same.
  const std::tuple<std::string, bool, bool> rows[] = {{bytes, false, true},
                                                      {lastDiffers, false, false},
                                                      {bytes.substr(1), false, false},
                                                      {bytes + "x", false, false},
                                                      {std::string(300000, '\0'), true, true},
                                                      {std::string(300000, '\1'), true, false}};
  for (const bool faulty : {false, true}) {
    FaultySysCalls layer;
    layer.interrupt = faulty;
    layer.maxBytesPerCall = faulty ? 4099 : 0;
    ScopedSysCalls scope(layer);
    for (const auto& [other, againstHole, same] : rows) {
      if (!againstHole) WriteFile(folder / "one", bytes);
      WriteFile(folder / "other", other);
      const File one = File::OpenForReading(folder / (againstHole ? "hole" : "one"));
      std::uint64_t counted = 0;
      const bool result =
          SameContent(one, File::OpenForReading(folder / "other"), [&](std::uint64_t n) { counted += n; });
      EXPECT_EQ(result, same) << other.size() << (faulty ? " faulty" : "");
      EXPECT_EQ(counted, same ? other.size() : counted);
    }
  }
  WriteFile(folder / "empty", "");
  EXPECT_TRUE(SameContent(File::OpenForReading(folder / "empty"), File::OpenForReading(folder / "empty")));
}

}  // namespace
}  // namespace parcelo::testing
