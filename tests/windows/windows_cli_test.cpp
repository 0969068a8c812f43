// parcelo-cli.exe as a Windows user meets it (under Wine in the cross
// build): Russian names in its arguments and its messages, either
// separator, files past 4 GiB, a small disk, a file another program holds.

#define WIN32_LEAN_AND_MEAN
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>

#include "io/windows_wide_text.h"
#include "support/temp_folder.h"

namespace parcelo::testing {
namespace {

// Runs parcelo-cli.exe in `folder` from cmd.exe, as a user would (the line
// reaches it as UTF-16, Russian names and all); expects its exit status and
// `text` among what it writes to either stream.
void ExpectCli(int status, const std::string& text, const std::string& folder,
               const std::vector<std::string>& arguments) {
  static const TempFolder scratch;
  std::string line =
      "cd /d \"" + folder + "\" && \"" + std::filesystem::absolute(std::getenv("PARCELO_CLI")).string() + "\"";
  for (const std::string& argument : arguments) line += " \"" + argument + "\"";
  const int exitStatus = _wsystem(WideFromUtf8(line + " >\"" + scratch / "output" + "\" 2>&1").c_str());
  const std::string output = ReadFile(scratch / "output");
  EXPECT_EQ(exitStatus, status) << output;
  EXPECT_NE(output.find(text), std::string::npos) << output;
}

// A Russian name with spaces, a path with both separators: the set lands
// where the file is, Infa.inf holds the name in Windows-1251, and a join
// from the working folder brings the file back. Joined again while another
// program holds that file, it names the file in Russian and keeps it.
TEST(WindowsCli, RussianNamesRoundTripAndAHeldOutputIsNamed) {
  TempFolder folder;
  const std::string name = "Фильм №1 (копия).avi", bytes = PatternBytes(25000);
  const std::string set = folder.path() + "\\Части", joined = set + "\\" + name;
  WriteFile(folder / name, bytes);
  ExpectCli(0, name + " был разбит на 3 части(ей)!", folder.path(),
            {"split", folder / name, "--size", "10000", "--subdir", "Части", "--checksums"});
  EXPECT_EQ(ReadFile(set + "\\Infa.inf"), "\xd4\xe8\xeb\xfc\xec \xb9\x31 (\xea\xee\xef\xe8\xff).avi\r\n");
  ExpectCli(0, "Файл собран", folder.path(), {"join", "Части/Infa.inf"});
  EXPECT_EQ(ReadFile(joined), bytes);

  const HANDLE held = CreateFileW(WideFromUtf8(joined).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ExpectCli(2, name + "\": файл занят другой программой.", folder.path(), {"join", "Части"});
  CloseHandle(held);
  EXPECT_EQ(ReadFile(joined), bytes);
}

// Past 4 GiB every size and offset needs 64 bits. The source is sparse
// (nothing written but a mark at its end); its parts and the joined file
// are written in full, and the mark must come back where it was.
TEST(WindowsCli, FilesPastFourGibibytes) {
  TempFolder folder;
  const std::uint64_t size = (4ull << 30) + (5 << 20) + 12345;  // chunks start past 2^32
  if (std::filesystem::space(folder.path()).available < 3 * size) GTEST_SKIP() << "needs 13 GiB free";
  std::ofstream(folder / "big.bin", std::ios::binary).seekp(static_cast<std::streamoff>(size - 4)) << "mark";
  // The third part runs from 3e9 across 2^32, read and written in chunks.
  ExpectCli(0, "был разбит на 3 части(ей)!", folder.path(), {"split", "big.bin", "--size", "1500000000"});
  std::filesystem::remove(folder / "big.bin");
  ExpectCli(0, "Файл собран", folder.path(), {"join", "."});
  std::ifstream joined(folder / "big.bin", std::ios::binary);
  joined.seekg(static_cast<std::streamoff>(size - 4));
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(joined), {}), "mark");
}

// A small tmpfs (16 MiB), mounted by the test script before Wine starts and
// named in PARCELO_FULL_DISK, with a 10 MiB source: the split is refused
// before it writes anything, saying in Russian what it needs and what is free.
TEST(WindowsCli, TooLittleRoomIsRefusedBeforeAnyWrite) {
  const char* disk = std::getenv("PARCELO_FULL_DISK");
  if (!disk || !*disk) GTEST_SKIP() << "no small disk here (PARCELO_FULL_DISK)";
  const std::string folder = disk;
  WriteFile(folder + "\\film.avi", PatternBytes(10 << 20));
  ExpectCli(1, "Недостаточно места на диске: Нужно 10,0 МБ, свободно 6,0 МБ.", folder,
            {"split", folder + "\\film.avi", "--size", "2000000"});
  EXPECT_EQ(FolderEntries(folder), (std::vector<std::string>{"film.avi"}));
}

}  // namespace
}  // namespace parcelo::testing
