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

// A file system whose block sharing works: shown here by copying the bytes.
struct SharingSysCalls : FaultySysCalls {
  int CloneRange(int from, std::uint64_t at, int to, std::uint64_t toAt, std::uint64_t count) override {
    ++calls["CloneRange"];
    std::string bytes(count, '\0');
    const ssize_t got = SysCalls::Pread(from, bytes.data(), count, at);
    return got < 0 ? -1 : SysCalls::Pwrite(to, bytes.data(), static_cast<std::size_t>(got), toAt) < 0 ? -1 : 0;
  }
};

// A file of `size` bytes whose first MiB alone is data, the rest a hole.
void WriteSparse(const std::string& path, std::uint64_t size) {
  WriteFile(path, PatternBytes(kMiB));
  std::filesystem::resize_file(path, size);
}

struct Row {
  const char* what;
  bool join;
  std::uint64_t size;  // the source's, or the set's whole
  bool sparse;
  std::optional<std::uint64_t> freeSpace, largestFile;
  bool sharing, cantSay;
  const char* title;  // nullptr: the work is done
  const char* text;
};

void PrintTo(const Row& row, std::ostream* out) { *out << row.what; }

struct RoomCheck : ::testing::TestWithParam<Row> {};

// Room is counted as the output will take it, and a refusal writes nothing.
TEST_P(RoomCheck, RefusesOnlyWhatTheTargetCannotHold) {
  const Row& row = GetParam();
  TempFolder folder;
  const std::string source = folder / "src.bin", set = folder / "set", piece = std::to_string(row.size / 4);
  if (row.sparse) {
    WriteSparse(source, row.size);
  } else {
    WriteFile(source, PatternBytes(row.size));
  }
  if (row.join) {
    ASSERT_EQ(Split({source, piece, true, "set"}).outcome, Outcome::Done);
  }
  const Strings before = FolderEntries(row.join ? set : folder.path());
  SharingSysCalls sharing;
  FaultySysCalls plain;
  FaultySysCalls& faults = row.sharing ? sharing : plain;
  faults.freeSpace = row.freeSpace;
  faults.largestFile = row.largestFile;
  if (row.cantSay) faults.errors["FreeSpace"] = ENOSYS;
  const Report report = [&] {
    ScopedSysCalls scope(faults);
    return row.join ? Join(set, ListFolder) : Split({source, piece, true, "set"});
  }();
  if (!row.title) {
    ASSERT_EQ(report.outcome, Outcome::Done) << report.message.text;
    const std::string bytes = ReadFile(source);
    EXPECT_TRUE(row.join ? ReadFile(set + "/src.bin") == bytes
                         : ReadFile(set + "/001.drb") == bytes.substr(0, row.size / 4));
    return;
  }
  ExpectReport(report, Outcome::Refused, row.title, row.text);
  EXPECT_EQ(FolderEntries(row.join ? set : folder.path()), before);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RoomCheck,
    ::testing::Values(
        Row{"SplitTooLittle",
            false,
            3 * kMiB,
            false,
            2 * kMiB,
            {},
            false,
            false,
            messages::kNoRoomTitle,
            "Нужно 3,0 МБ, свободно 2,0 МБ."},
        Row{"JoinTooLittle",
            true,
            3 * kMiB,
            false,
            2 * kMiB + kMiB / 2,
            {},
            false,
            false,
            messages::kNoRoomTitle,
            "Нужно 3,0 МБ, свободно 2,5 МБ."},
        Row{"SplitSparse", false, 64 * kMiB, true, 2 * kMiB, {}, false, false, nullptr, nullptr},
        Row{"JoinSparse", true, 64 * kMiB, true, 2 * kMiB, {}, false, false, nullptr, nullptr},
        Row{"SplitShared", false, 3 * kMiB, false, kMiB / 2, {}, true, false, nullptr, nullptr},
        Row{"JoinShared", true, 3 * kMiB, false, kMiB / 2, {}, true, false, nullptr, nullptr},
        Row{"JoinOntoFat",
            true,
            5 * 1024 * kMiB,
            true,
            {},
            0xFFFFFFFFu,
            false,
            false,
            messages::kSizeErrorTitle,
            "Файловая система не может хранить файлы больше 4 096,0 МБ, а нужен файл размером 5 120,0 МБ."},
        Row{"CantSay", false, 3 * kMiB, false, 0, {}, false, true, nullptr, nullptr}),
    [](const auto& row) { return std::string(row.param.what); });

TEST(NoRoom, TellsMebibytesToATenthWithThousandsApart) {
  EXPECT_EQ(messages::NoRoom(1024 * kMiB, 800 * kMiB), "Нужно 1 024,0 МБ, свободно 800,0 МБ.");
  EXPECT_EQ(messages::NoRoom(kMiB / 2, 12345678 * kMiB + 943719), "Нужно 0,5 МБ, свободно 12 345 678,9 МБ.");
}

}  // namespace
}  // namespace parcelo::testing
