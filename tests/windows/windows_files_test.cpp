// The file layer on Windows (under Wine in the cross build): where Windows
// differs from POSIX, the layer has to follow Windows' own rules.

#define WIN32_LEAN_AND_MEAN
#include <gtest/gtest.h>
#include <windows.h>

#include <thread>

#include "io/folder.h"
#include "io/folder_listing.h"
#include "io/replacement_file.h"
#include "io/sys_calls.h"
#include "io/windows_wide_text.h"
#include "join/join.h"
#include "partset/path_helpers.h"
#include "split/split.h"
#include "support/expect_file_error.h"
#include "support/temp_folder.h"

namespace parcelo::testing {
namespace {

// A replacement takes a file's place, but Windows won't replace a read-only
// file (Wine would) nor one another program holds without sharing it, as
// an editor may; either is left as it was, and no temporary stays behind.
TEST(WindowsFiles, ReplacementTakesThePlaceOfAFileUnlessItIsReadOnlyOrHeld) {
  TempFolder folder;
  for (const char* name : {"out.bin", "read-only.bin", "held.bin"}) WriteFile(folder / name, "old");
  SetFileAttributesW(WideFromUtf8(folder / "read-only.bin").c_str(), FILE_ATTRIBUTE_READONLY);
  const HANDLE held =
      CreateFileW(WideFromUtf8(folder / "held.bin").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  const Folder open = Folder::Open(folder.path());
  // Replaces the file with an empty one.
  const auto replace = [&](const std::string& name) { ReplacementFile(open, name, 0644).Commit(); };
  replace("out.bin");
  ExpectFileError([&] { replace("read-only.bin"); }, EACCES, open.PathOf("read-only.bin"));
  ExpectFileError([&] { replace("held.bin"); }, kFileInUse, open.PathOf("held.bin"));
  CloseHandle(held);
  SetFileAttributesW(WideFromUtf8(folder / "read-only.bin").c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(FolderEntries(folder.path()), (std::vector<std::string>{"held.bin", "out.bin", "read-only.bin"}));
  EXPECT_EQ(ReadFile(folder / "out.bin"), "");
  for (const char* name : {"read-only.bin", "held.bin"}) EXPECT_EQ(ReadFile(folder / name), "old") << name;
}

// Identity is the volume's serial number and the file's index: distinct
// files differ, one file spelled in other letters or separators is itself,
// so a join never writes over a part an info file names in capitals. The
// folder's lock holds whatever the spelling too, and a waiting lock waits
// for the holder without keeping it from letting go.
TEST(WindowsFiles, IdentityAndLocksHoldWhateverTheSpelling) {
  TempFolder folder;
  WriteFile(folder / "Infa.inf", "001.DRB\r\n");
  for (const char* name : {"001.drb", "002.drb"}) WriteFile(folder / name, name);
  EXPECT_EQ(Join(folder.path()).outcome, Outcome::Refused);
  EXPECT_EQ(ReadFile(folder / "001.drb"), "001.drb");

  std::string otherSpelling = folder.path();
  for (char& c : otherSpelling) c = c == '\\' ? '/' : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  Folder open = Folder::Open(folder.path());
  const Folder same = Folder::Open(otherSpelling);
  EXPECT_FALSE(open.Status("001.drb")->IsSameFileAs(*open.Status("002.drb")));
  EXPECT_TRUE(open.Status("001.drb")->IsSameFileAs(*same.Status("001.DRB")));
  open.Lock();
  ExpectFileError([&] { same.Lock(); }, kFolderBusy, otherSpelling);
  std::thread waiter([&] {
    Handle lock;
    EXPECT_EQ(Sys().Lock(same.handle(), LockMode::Exclusive, true, &lock), 0);
    EXPECT_EQ(Sys().Unlock(same.handle(), lock), 0);
  });
  Sleep(200);
  open = Folder();
  waiter.join();
}

// Hidden and system entries (desktop.ini, Thumbs.db) are not listed, as
// POSIX's dot files aren't. Names Windows refuses, or would quietly change
// (a trailing dot or space is dropped), fail as invalid instead of reaching
// another file.
TEST(WindowsFiles, HiddenEntriesAreNotListedAndNamesWindowsWouldChangeAreInvalid) {
  TempFolder folder;
  for (const char* name : {"x", "hidden", "desktop.ini"}) WriteFile(folder / name, "x");
  SetFileAttributesW(WideFromUtf8(folder / "hidden").c_str(), FILE_ATTRIBUTE_HIDDEN);
  SetFileAttributesW(WideFromUtf8(folder / "desktop.ini").c_str(), FILE_ATTRIBUTE_SYSTEM);
  ASSERT_EQ(ListFolder(Folder::Open(folder.path())).size(), 1u);
  EXPECT_EQ(ListFolder(Folder::Open(folder.path()))[0].name, "x");
  const Folder open = Folder::Open(folder.path());
  for (const std::string name : {"x.", "x ", "a?b", "a<b"}) {
    ExpectFileError([&] { File::OpenEntry(open, name); }, kInvalidName, open.PathOf(name));
    ExpectFileError([&] { open.MakeChild(name); }, kInvalidName, open.PathOf(name));
  }
}

// Runs a command of the host's in `folder` (under Wine, which can't make
// links, and shows a host's link to a folder as a reparse point), then
// waits until `entry` there is there or gone as `there` says: a host
// process is nothing Wine can wait for. False on Windows.
bool OnHost(std::wstring command, const std::string& folder, const std::string& entry, bool there) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, WideFromUtf8(folder).c_str(),
                      &startup, &process)) {
    return false;
  }
  CloseHandle(process.hThread), CloseHandle(process.hProcess);
  const std::wstring path = WideFromUtf8(folder + "\\" + entry);
  for (int wait = 0; wait < 100 && (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) != there; ++wait) {
    Sleep(50);
  }
  return true;
}

// A symbolic link or junction is refused wherever a folder or file of our
// own belongs, as on Linux: the split's new folder, a set's part, the
// join's output.
TEST(WindowsFiles, LinksAreRefusedWhereOurOwnFolderOrFileBelongs) {
  TempFolder folder, elsewhere;
  const std::wstring link = L"Z:\\bin\\ln -s ../" + WideFromUtf8(FileNameOf(elsewhere.path())) + L" ";
  if (!OnHost(link + L"sub", folder.path(), "sub", true)) GTEST_SKIP() << "makes links with the host's ln, under Wine";
  WriteFile(folder / "f", "0123456789");
  const Folder open = Folder::Open(folder.path());
  ExpectFailure(Split({folder / "f", "5", true, "sub"}), kSymbolicLink, open.PathOf("sub"));
  ExpectFileError([&] { CheckReplaceable(open, "sub"); }, kSymbolicLink, open.PathOf("sub"));
  EXPECT_EQ(Split({folder / "f", "5", false, ""}).outcome, Outcome::Done);
  std::filesystem::remove(FsPath(folder / "002.drb"));
  OnHost(link + L"002.drb", folder.path(), "002.drb", true);
  ExpectFailure(Join(folder.path()), kSymbolicLink, open.PathOf("002.drb"));
  EXPECT_TRUE(FolderEntries(elsewhere.path()).empty());
  OnHost(L"Z:\\bin\\rm sub 002.drb", folder.path(), "002.drb", false);
}

}  // namespace
}  // namespace parcelo::testing
