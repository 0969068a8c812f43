// The file layer on Windows (under Wine in the cross build): where Windows
// differs from POSIX, the layer has to follow Windows' own rules.

#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <gtest/gtest.h>

#include <thread>

#include "io/file.h"
#include "io/file_error.h"
#include "io/folder.h"
#include "io/folder_listing.h"
#include "io/replacement_file.h"
#include "io/sys_calls.h"
#include "io/wide_text.h"
#include "io/write_all.h"
#include "join/join.h"
#include "support/expect_file_error.h"
#include "support/temp_folder.h"

namespace parcelo {
namespace {

using testing::ExpectFileError;
using testing::FolderEntries;
using testing::ReadFile;
using testing::TempFolder;
using testing::WriteFile;
using Strings = std::vector<std::string>;

void SetAttributes(const std::string& path, DWORD attributes) {
  ASSERT_TRUE(SetFileAttributesW(WideFromUtf8(path).c_str(), attributes));
}

// Another program's handle that shares nothing, as an editor may hold a file.
struct HeldOpen {
  explicit HeldOpen(const std::string& path)
      : handle(CreateFileW(WideFromUtf8(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr)) {}
  ~HeldOpen() { CloseHandle(handle); }
  HANDLE handle;
};

TEST(WindowsFiles, ReplacementTakesThePlaceOfAFileUnlessItIsReadOnlyOrHeld) {
  TempFolder folder;
  WriteFile(folder / "out.bin", "old");
  WriteFile(folder / "read-only.bin", "old");
  WriteFile(folder / "held.bin", "old");
  SetAttributes(folder / "read-only.bin", FILE_ATTRIBUTE_READONLY);
  const Folder open = Folder::Open(folder.path());
  const auto replace = [&](const std::string& name) {
    ReplacementFile file(open, name, 0644);
    WriteAll(file.file(), "new", 3, 0);
    file.Commit();
  };
  replace("out.bin");
  EXPECT_EQ(ReadFile(folder / "out.bin"), "new");
  // Windows won't replace a read-only file (Wine would).
  ExpectFileError([&] { replace("read-only.bin"); }, EACCES, open.PathOf("read-only.bin"));
  {
    const HeldOpen held(folder / "held.bin");
    ASSERT_NE(held.handle, INVALID_HANDLE_VALUE);
    ExpectFileError([&] { replace("held.bin"); }, kFileInUse, open.PathOf("held.bin"));
  }
  EXPECT_EQ(ReadFile(folder / "read-only.bin"), "old");
  EXPECT_EQ(ReadFile(folder / "held.bin"), "old");
  EXPECT_EQ(FolderEntries(folder.path()), (Strings{"held.bin", "out.bin", "read-only.bin"}));
  SetAttributes(folder / "read-only.bin", FILE_ATTRIBUTE_NORMAL);
}

// Identity is the volume's serial number and the file's index: distinct
// files differ, one file spelled in other letters or separators is itself,
// so a join never writes over a part an info file names in capitals.
TEST(WindowsFiles, IdentityHoldsWhateverTheSpelling) {
  TempFolder folder;
  WriteFile(folder / "Infa.inf", "001.DRB\r\n");
  WriteFile(folder / "001.drb", "first");
  WriteFile(folder / "002.drb", "second");
  const Folder open = Folder::Open(folder.path());
  std::string otherSpelling = folder.path();
  for (char& c : otherSpelling) c = c == '\\' ? '/' : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  const Folder same = Folder::Open(otherSpelling);
  EXPECT_FALSE(open.Status("001.drb")->IsSameFileAs(*open.Status("002.drb")));
  EXPECT_TRUE(open.Status("001.drb")->IsSameFileAs(*same.Status("001.DRB")));

  EXPECT_EQ(Join(folder.path(), ListFolder).outcome, Outcome::Refused);
  EXPECT_EQ(ReadFile(folder / "001.drb"), "first");
}

// Names Windows refuses, or would quietly change (a trailing dot or space
// is dropped), fail as invalid instead of reaching another file.
TEST(WindowsFiles, NamesWindowsWouldRefuseOrChangeAreInvalid) {
  TempFolder folder;
  WriteFile(folder / "x", "x");
  const Folder open = Folder::Open(folder.path());
  for (const std::string name : {"x.", "x ", "a?b", "a<b"}) {
    ExpectFileError([&] { File::OpenEntry(open, name); }, kInvalidName, open.PathOf(name));
    ExpectFileError([&] { open.MakeChild(name); }, kInvalidName, open.PathOf(name));
  }
  EXPECT_EQ(FolderEntries(folder.path()), Strings{"x"});
}

// Hidden and system entries (desktop.ini, Thumbs.db) are not listed, as
// POSIX's dot files aren't; and a folder one operation holds is busy for
// another, whatever spelling the other one uses.
TEST(WindowsFiles, ListingSkipsHiddenEntriesAndLocksHoldPerFolder) {
  TempFolder folder;
  for (const char* name : {"001.drb", "002.drb", "desktop.ini"}) WriteFile(folder / name, "x");
  SetAttributes(folder / "002.drb", FILE_ATTRIBUTE_HIDDEN);
  SetAttributes(folder / "desktop.ini", FILE_ATTRIBUTE_SYSTEM);
  const std::vector<FolderEntry> entries = ListFolder(folder.path());
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, "001.drb");

  std::optional<Folder> first(Folder::Open(folder.path()));
  first->Lock();
  const Folder second = Folder::Open(folder.path() + "\\");
  ExpectFileError([&] { second.Lock(); }, kFolderBusy, folder.path() + "\\");
  // A waiting lock waits for the holder without keeping it from letting go.
  std::thread waiter([&] { EXPECT_EQ(Sys().Flock(second.fd(), LOCK_EX), 0); });
  Sleep(200);
  first.reset();
  waiter.join();
}

}  // namespace
}  // namespace parcelo
