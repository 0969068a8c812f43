// parcelo-cli.exe as a Windows user meets it (under Wine in the cross
// build): Russian names in its arguments and its messages, either
// separator, files past 4 GiB, a full disk, a file another program holds.

#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "io/wide_text.h"
#include "support/temp_folder.h"

namespace parcelo {
namespace {

using testing::FolderEntries;
using testing::ReadFile;
using testing::TempFolder;
using testing::WriteFile;
using Strings = std::vector<std::string>;

struct CliResult {
  DWORD status;
  std::string out, err;
};

HANDLE Inheritable(const std::wstring& path) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  return CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
}

// Runs parcelo-cli.exe with the arguments as one UTF-16 command line, in
// `folder` when one is given.
CliResult RunCli(const Strings& arguments, const std::string& folder = {}) {
  static const TempFolder scratch;
  std::wstring line = L"\"" + WideFromUtf8(std::getenv("PARCELO_CLI")) + L"\"";
  for (const std::string& argument : arguments) line += L" \"" + WideFromUtf8(argument) + L"\"";
  STARTUPINFOW start{};
  start.cb = sizeof start;
  start.dwFlags = STARTF_USESTDHANDLES;
  start.hStdOutput = Inheritable(WideFromUtf8(scratch / "out"));
  start.hStdError = Inheritable(WideFromUtf8(scratch / "err"));
  PROCESS_INFORMATION process{};
  DWORD status = 255;
  if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                     folder.empty() ? nullptr : WideFromUtf8(folder).c_str(), &start, &process)) {
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
  }
  CloseHandle(start.hStdOutput);
  CloseHandle(start.hStdError);
  return {status, ReadFile(scratch / "out"), ReadFile(scratch / "err")};
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// A Russian name with spaces, a path with both separators: the set lands
// where the file is, Infa.inf holds the name in Windows-1251, and the join
// brings the file back.
TEST(WindowsCli, RussianNamesRoundTrip) {
  TempFolder folder;
  const std::string source = folder.path() + "/Фильм №1 (копия).avi";
  const std::string bytes = testing::PatternBytes(25000);
  WriteFile(source, bytes);
  const auto split = RunCli({"split", source, "--size", "10000", "--subdir", "Части", "--checksums"});
  ASSERT_EQ(split.status, 0u) << split.err;
  EXPECT_TRUE(Contains(split.out, "Фильм №1 (копия).avi был разбит на 3 части(ей)!")) << split.out;
  const std::string set = folder.path() + "\\Части";
  EXPECT_EQ(ReadFile(set + "\\Infa.inf"), "\xd4\xe8\xeb\xfc\xec \xb9\x31 (\xea\xee\xef\xe8\xff).avi\r\n");
  std::filesystem::remove(testing::FsPath(source));

  const auto join = RunCli({"join", "Части/Infa.inf"}, folder.path());
  ASSERT_EQ(join.status, 0u) << join.err;
  EXPECT_EQ(ReadFile(set + "\\Фильм №1 (копия).avi"), bytes);
  EXPECT_TRUE(Contains(join.out, "Файл собран")) << join.out;
}

// Past 4 GiB every size and offset needs 64 bits. The source is sparse
// (nothing written but a mark at its end); its parts and the joined file
// are written in full, and the mark must come back where it was.
TEST(WindowsCli, FilesPastFourGibibytes) {
  TempFolder folder;
  const std::uint64_t size = (4ull << 30) + (5 << 20) + 12345;  // chunks start past 2^32
  ULARGE_INTEGER free{};
  GetDiskFreeSpaceExW(WideFromUtf8(folder.path()).c_str(), &free, nullptr, nullptr);
  if (free.QuadPart < 3 * size) GTEST_SKIP() << "needs " << 3 * size / (1 << 30) << " GiB free";
  {
    std::ofstream file(folder / "big.bin", std::ios::binary);
    file.seekp(static_cast<std::streamoff>(size - 4));
    file << "mark";
  }
  // The third part runs from 3e9 across 2^32, read and written in chunks.
  const auto split = RunCli({"split", folder / "big.bin", "--size", "1500000000"});
  ASSERT_EQ(split.status, 0u) << split.err;
  EXPECT_EQ(std::filesystem::file_size(folder / "003.drb"), size - 3000000000ull);
  std::filesystem::remove(folder / "big.bin");
  const auto join = RunCli({"join", folder.path()});
  EXPECT_EQ(join.status, 0u) << join.err;
  EXPECT_EQ(std::filesystem::file_size(folder / "big.bin"), size);
  std::ifstream joined(folder / "big.bin", std::ios::binary);
  joined.seekg(static_cast<std::streamoff>(size - 4));
  std::string mark(4, '\0');
  joined.read(mark.data(), 4);
  EXPECT_EQ(mark, "mark");
}

// A small tmpfs, mounted by the test script before Wine starts and named in
// PARCELO_FULL_DISK: the split says the disk is full, in Russian, naming
// the part, and leaves no half-written file and no info file.
TEST(WindowsCli, FullDiskIsReportedAndLeavesNoHalfWrittenFile) {
  const char* disk = std::getenv("PARCELO_FULL_DISK");
  if (!disk || !*disk) GTEST_SKIP() << "no small disk here (PARCELO_FULL_DISK)";
  const std::string folder = std::string(disk) + "\\set";
  std::filesystem::create_directory(folder);
  const std::string bytes = testing::PatternBytes(10 << 20);
  WriteFile(folder + "\\film.avi", bytes);
  const auto split = RunCli({"split", folder + "\\film.avi", "--size", "2000000"});
  EXPECT_EQ(split.status, 2u);
  EXPECT_TRUE(Contains(split.err, "Не удалось записать файл \"" + folder + "\\00")) << split.err;
  EXPECT_TRUE(Contains(split.err, "\": на диске нет места.")) << split.err;
  const Strings entries = FolderEntries(folder);
  EXPECT_EQ(entries.back(), "film.avi");
  for (const std::string& name : entries) EXPECT_TRUE(name == "film.avi" || name.size() == 7) << name;
  std::filesystem::remove_all(folder);
}

// What only Windows says: a file another program holds.
TEST(WindowsCli, AFileAnotherProgramHoldsIsNamedInRussian) {
  TempFolder folder;
  WriteFile(folder / "001.drb", "abc");
  WriteFile(folder / "002.drb", "def");
  WriteFile(folder / "out.bin", "old");
  WriteFile(folder / "Infa.inf", "out.bin\r\n");
  const HANDLE held = CreateFileW(WideFromUtf8(folder / "out.bin").c_str(), GENERIC_READ, 0, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
  const auto join = RunCli({"join", folder.path()});
  CloseHandle(held);
  EXPECT_EQ(join.status, 2u);
  EXPECT_TRUE(Contains(join.err, "out.bin\": файл занят другой программой.")) << join.err;
  EXPECT_EQ(ReadFile(folder / "out.bin"), "old");
}

}  // namespace
}  // namespace parcelo
