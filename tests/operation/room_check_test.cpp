#include "operation/room_check.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "join/join.h"
#include "operation/messages.h"
#include "split/split.h"
#include "support/expect_file_error.h"
#include "support/faulty_sys_calls.h"
#include "support/temp_folder.h"

namespace parcelo::testing {
namespace {

constexpr std::uint64_t kMiB = 1 << 20;

// Sizes are told in mebibytes to a tenth, with thousands apart.
TEST(RoomCheck, TellsSizesInMebibytesToATenth) {
  EXPECT_EQ(messages::NoRoom(1024 * kMiB, 800 * kMiB), "Нужно 1 024,0 МБ, свободно 800,0 МБ.");
  EXPECT_EQ(messages::NoRoom(kMiB / 2, 12345678 * kMiB + 943719), "Нужно 0,5 МБ, свободно 12 345 678,9 МБ.");
}

// Room is counted as the output will take it (a sparse source's data only, nothing for shared
// blocks), and a refusal writes nothing. Split sets and split sources have pieces of a quarter.
TEST(RoomCheck, RefusesOnlyWhatTheTargetCannotHold) {
  using namespace messages;
  constexpr std::uint64_t kCantSay = 0, kReal = 0;
  struct Row {
    const char* what;
    bool join, sparse, sharing;  // a sparse source holds one MiB of data at its start
    std::uint64_t size, freeSpace, largestFile;
    const char *title, *text;  // no title: the work is done
  };
  const Row rows[] = {
      {"split, no room", false, false, false, 3 * kMiB, 2 * kMiB, kReal, kNoRoomTitle,
       "Нужно 3,0 МБ, свободно 2,0 МБ."},
      {"join, no room", true, false, false, 3 * kMiB, 5 * kMiB / 2, kReal, kNoRoomTitle,
       "Нужно 3,0 МБ, свободно 2,5 МБ."},
      {"split, sparse", false, true, false, 64 * kMiB, 2 * kMiB, kReal, nullptr, nullptr},
      {"join, sparse", true, true, false, 64 * kMiB, 2 * kMiB, kReal, nullptr, nullptr},
      {"split, shared", false, false, true, 3 * kMiB, kMiB / 2, kReal, nullptr, nullptr},
      {"join, shared", true, false, true, 3 * kMiB, kMiB / 2, kReal, nullptr, nullptr},
      {"no free space told", false, false, false, 3 * kMiB, kCantSay, kReal, nullptr, nullptr},
      {"file too large", true, true, false, 5120 * kMiB, kCantSay, 0xFFFFFFFF, kSizeErrorTitle,
       "Файловая система не может хранить файлы больше 4 096,0 МБ, а нужен файл размером 5 120,0 "
       "МБ."},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    TempFolder folder;
    const std::string source = folder / "src.bin", set = folder / "set", piece = std::to_string(row.size / 4);
    WriteFile(source, PatternBytes(row.sparse ? kMiB : row.size));
    std::filesystem::resize_file(source, row.size);
    ASSERT_TRUE(!row.join || Split({source, piece, true, "set"}).outcome == Outcome::Done);
    const Strings before = FolderEntries(row.join ? set : folder.path());
    FaultySysCalls faults;
    if (row.sharing) faults.errors.erase("CloneRange");
    if (row.freeSpace == kCantSay) faults.errors["FreeSpace"] = ENOSYS;
    if (row.freeSpace != kCantSay) faults.freeSpace = row.freeSpace;
    if (row.largestFile != kReal) faults.largestFile = row.largestFile;
    ScopedSysCalls scope(faults);  // to the end of the row
    const Report report = row.join ? Join(set) : Split({source, piece, true, "set"});
    if (!row.title) {
      EXPECT_EQ(report.outcome, Outcome::Done) << report.message.text;
      continue;
    }
    ExpectReport(report, Outcome::Refused, row.title, row.text);
    EXPECT_EQ(FolderEntries(row.join ? set : folder.path()), before);
  }
}

}  // namespace
}  // namespace parcelo::testing
