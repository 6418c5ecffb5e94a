// Whole-or-nothing file replacement and shared reading on Windows' own
// file system calls.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/files.h"
#include "layout/LineList.h"
#include "tests/common/TestFiles.h"
#include "tests/wine/UnixSide_win.h"

namespace panestow::test {
namespace {

size_t FilesIn(const std::string& dir) {
  size_t n = 0;
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return 0;
  do {
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++n;
  } while (FindNextFileA(h, &fd));
  FindClose(h);
  return n;
}

TEST(WinFiles, ReplaceSwapsInTheNewTextWhole) {
  ScratchDir dir;
  const std::string path = dir / "p.rg";
  WriteFileBytes(path, "old");
  ASSERT_TRUE(ReplaceFileContents(path, "new\r\n"));
  EXPECT_EQ(ReadFileBytes(path), "new\r\n");
  ASSERT_TRUE(ReplaceFileContents(dir / "fresh.rg", ""));
  EXPECT_EQ(ReadFileBytes(dir / "fresh.rg"), "");
  EXPECT_EQ(FilesIn(dir.path()), 2u) << "a temporary file was left behind";
}

TEST(WinFiles, AFileThatCannotBeReplacedStaysAsItWas) {
  ScratchDir dir;
  // Read-only.
  const std::string ro = dir / "ro.ini";
  WriteFileBytes(ro, "old");
  SetFileAttributesA(ro.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(ReplaceFileContents(ro, "new"));
  EXPECT_EQ(ReadFileBytes(ro), "old");
  // Held open by another program that shares nothing.
  const std::string held = dir / "held.rg";
  WriteFileBytes(held, "old");
  HANDLE h = CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(ReplaceFileContents(held, "new"));
  CloseHandle(h);
  EXPECT_EQ(ReadFileBytes(held), "old");
  // A folder in the way, and a folder that does not exist.
  CreateDirectoryA((dir / "folder.rg").c_str(), nullptr);
  EXPECT_FALSE(ReplaceFileContents(dir / "folder.rg", "new"));
  EXPECT_FALSE(ReplaceFileContents(dir / "missing\\p.rg", "new"));
  EXPECT_EQ(FilesIn(dir.path()), 2u) << "a temporary file was left behind";
}

TEST(WinFiles, AFolderWhereNothingMayBeWrittenKeepsTheOldFile) {
  ScratchDir dir;
  const std::string folder = dir / "locked";
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string path = folder + "\\p.ini";
  WriteFileBytes(path, "old settings");
  {
    ImmutableFolder locked(folder);
    ASSERT_TRUE(locked.ok()) << "cannot make a folder unwritable here (chattr +i)";
    EXPECT_FALSE(ReplaceFileContents(path, "new settings"));
    EXPECT_EQ(ReadFileBytes(path), "old settings");
  }
  EXPECT_EQ(FilesIn(folder), 1u);
}

TEST(WinFiles, ExistsMeansAFile) {
  ScratchDir dir;
  WriteFileBytes(dir / "f", "");
  CreateDirectoryA((dir / "d").c_str(), nullptr);
  EXPECT_TRUE(FileExists(dir / "f"));
  EXPECT_FALSE(FileExists(dir / "d"));
  EXPECT_FALSE(FileExists(dir / "none"));
}

TEST(WinFiles, LoadingSharesWithReadersButNotWithWriters) {
  ScratchDir dir;
  const std::string path = dir / "p.rg";
  WriteFileBytes(path, "1\r\n[A]\r\n0\r\n");
  LineList lines;

  HANDLE reader = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  EXPECT_NO_THROW(lines.LoadLines(path));
  CloseHandle(reader);
  EXPECT_EQ(lines.LineAt(1), "[A]");

  HANDLE writer = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  try {
    lines.LoadLines(path);
    ADD_FAILURE() << "a file open for writing was loaded";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), "ファイル " + path + " は開けません");
  }
  CloseHandle(writer);
}


TEST(WinFiles, ASecondNameKeepsTheOldBytesWhenTheFileIsReplaced) {
  ScratchDir dir;
  FileSystem& files = PlatformFiles();
  const std::string path = dir / "p.rg";
  const std::string kept = dir / "history\\000001-20261211-140512-slot1.rg";
  WriteFileBytes(path, "old");
  ASSERT_TRUE(files.MakeFolder(dir / "history"));
  ASSERT_TRUE(files.MakeFolder(dir / "history"));  // there already
  ASSERT_TRUE(files.Link(path, kept));
  EXPECT_FALSE(files.Link(path, kept));  // taken
  ASSERT_TRUE(ReplaceFileContents(path, "new!"));
  EXPECT_EQ(ReadFileBytes(path), "new!");
  EXPECT_EQ(ReadFileBytes(kept), "old");
  std::vector<FolderItem> items;
  ASSERT_TRUE(files.List(dir.path(), items));
  ASSERT_EQ(items.size(), 2u);
  for (const FolderItem& item : items) {
    if (item.name == "p.rg") EXPECT_EQ(item.size, 4u);
    else EXPECT_TRUE(item.name == "history" && item.folder) << item.name;
  }
  // A file where the folder would go.
  EXPECT_FALSE(files.MakeFolder(path));
  EXPECT_FALSE(files.List(dir / "none", items));
}

// Holds `path` open as a virus scanner or a sync client does, without
// letting it be deleted or renamed over, for `ms` milliseconds.
DWORD WINAPI HoldFor(void* arg) {
  auto* held = static_cast<std::pair<HANDLE, DWORD>*>(arg);
  Sleep(held->second);
  CloseHandle(held->first);
  return 0;
}

TEST(WinFiles, AFileHeldForAMomentIsReplacedOnceItIsLetGoAndOneHeldLongerStaysAsItWas) {
  ScratchDir dir;
  const std::string path = dir / "p.rg";
  for (DWORD ms : {300u, 3000u}) {
    WriteFileBytes(path, "old");
    std::pair<HANDLE, DWORD> held{CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                              OPEN_EXISTING, 0, nullptr),
                                  ms};
    ASSERT_NE(held.first, INVALID_HANDLE_VALUE);
    HANDLE thread = CreateThread(nullptr, 0, HoldFor, &held, 0, nullptr);
    const bool replaced = ReplaceFileContents(path, "new");
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    EXPECT_EQ(replaced, ms == 300u) << ms;
    EXPECT_EQ(ReadFileBytes(path), ms == 300u ? "new" : "old") << ms;
  }
  EXPECT_EQ(FilesIn(dir.path()), 1u) << "a temporary file was left behind";
}

}  // namespace
}  // namespace panestow::test
