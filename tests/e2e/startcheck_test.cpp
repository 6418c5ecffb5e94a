// The check before anything runs: under another code page than 932, and
// from a folder whose path code page 932 cannot carry or that is too long
// for the ANSI file functions, the program shows one box, through the wide
// functions, and ends having touched nothing. A folder that fits still
// works.
#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "app/startcheck.h"
#include "tests/common/RawRegistry_win.h"
#include "tests/e2e/E2e.h"
#include "tests/wine/UnixSide_win.h"

namespace panestow::e2e {
namespace {

using test::PathExists;
using test::ReadFileBytes;
using test::WriteFileBytes;

std::wstring Wide(const std::string& ansi) {
  std::wstring wide(ansi.size() + 1, L'\0');
  const int len = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), &wide[0],
                                      static_cast<int>(wide.size()));
  wide.resize(len > 0 ? static_cast<size_t>(len) : 0);
  return wide;
}

std::string Ansi(const std::wstring& wide) {
  std::string ansi(wide.size() * 2 + 1, '\0');
  const int len = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), &ansi[0],
                                      static_cast<int>(ansi.size()), nullptr, nullptr);
  ansi.resize(len > 0 ? static_cast<size_t>(len) : 0);
  return ansi;
}

std::wstring FromUtf16(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

// The names in a folder, sorted, read through the wide functions.
std::vector<std::wstring> FilesIn(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((L"\\\\?\\" + folder + L"\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring name = fd.cFileName;
    if (name != L"." && name != L"..") names.push_back(name);
  } while (FindNextFileW(h, &fd));
  FindClose(h);
  std::sort(names.begin(), names.end());
  return names;
}

class StartCheckTest : public E2eTest {
 protected:
  // The box of the start-up check, waited for in any process; its
  // process, opened, goes to `process`.
  DialogInfo WaitStartBox(HANDLE& process, Where where = {}) {
    process = nullptr;
    HWND box = nullptr;
    automation::WaitUntil(
        [&] {
          const auto boxes = automation::TopWindows(0, "#32770", "Panestow", true);
          box = boxes.empty() ? nullptr : boxes.front();
          return box != nullptr;
        },
        kTimeoutMs);
    if (!box) {
      ADD_FAILURE_AT(where.file, where.line) << "no box came";
      EndStrayPrograms();
      return DialogInfo{};
    }
    automation::Sync(box);
    DWORD pid = 0;
    GetWindowThreadProcessId(box, &pid);
    process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    return automation::ReadDialog(box);
  }

  // A program started from the Unix side that ran on past the check is no
  // child of this test's: it is found by its main window and ended.
  static void EndStrayPrograms() {
    for (HWND main : automation::TopWindows(0, nullptr, kMainCaption, false)) {
      DWORD pid = 0;
      GetWindowThreadProcessId(main, &pid);
      HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
      if (!process) continue;
      TerminateProcess(process, 1);
      WaitForSingleObject(process, kTimeoutMs);
      CloseHandle(process);
    }
  }

  // Answers the box with OK and expects its program to end with 0.
  void OkAndExpectExit(const DialogInfo& box, HANDLE process, Where where = {}) {
    if (!box.hwnd || !process) return;
    automation::ClickDialogButton(box.hwnd, "OK");
    DWORD code = 1;
    if (WaitForSingleObject(process, kTimeoutMs) != WAIT_OBJECT_0 || !GetExitCodeProcess(process, &code)) {
      ADD_FAILURE_AT(where.file, where.line) << "the program did not end";
    } else if (code != 0) {
      ADD_FAILURE_AT(where.file, where.line) << "exit code " << code;
    }
    CloseHandle(process);
  }
};

TEST_F(StartCheckTest, UnderAnotherCodePageEveryModeShowsTheBoxAndEndsHavingTouchedNothing) {
  // Everything a run could touch: the settings file, slot 1's file,
  // Jw_cad's keys and the program that its open command names.
  const std::string ini = "[Form]\r\nF1_X=300\r\n[Sets]\r\nTit1=\"kept\"\r\n";
  WriteFileBytes(Beside(".ini"), ini);
  WriteFileBytes(SlotFile(1), kSlotLayout);
  PutKeysBeforeRestore();
  const std::string cad = Folder() + "\\fakecad.exe";
  ASSERT_TRUE(CopyFileA((BuildFolder() + "\\fakecad.exe").c_str(), cad.c_str(), FALSE));
  SetOpenCommand(cad + " \"%1\"");
  const std::string unix_folder = test::UnixPath(Folder());
  ASSERT_FALSE(unix_folder.empty());

  for (const char* args : {"", "S1", "J1 a.jww"}) {
    SCOPED_TRACE(std::string("arguments \"") + args + "\"");
    // Started as a shell of a machine with another locale starts it: Wine
    // takes the code page from LC_ALL, and C.UTF-8 gives 1252.
    ASSERT_TRUE(test::RunUnix("(cd '" + unix_folder +
                              "' && LC_ALL=C.UTF-8 WINEDLLOVERRIDES='mscoree,mshtml=' wine panestow.exe " + args +
                              " </dev/null >/dev/null 2>&1 &)"));
    HANDLE process;
    const DialogInfo box = WaitStartBox(process);
    EXPECT_EQ(box.wide_caption, L"Panestow");
    EXPECT_EQ(box.wide_text, FromUtf16(CodePageErrorText(1252)));
    for (const wchar_t* part : {L"code page 1252", L"コードページは 1252 です", L"LC_ALL=ja_JP.UTF-8"}) {
      EXPECT_NE(box.wide_text.find(part), std::wstring::npos) << Ansi(part);
    }
    EXPECT_EQ(box.buttons, (std::vector<std::string>{"OK"}));
    // The program waits on the box before it has done anything.
    EXPECT_EQ(automation::TopWindows(GetProcessId(process), nullptr, kMainCaption, false).size(), 0u);
    OkAndExpectExit(box, process);

    EXPECT_EQ(ReadFileBytes(Beside(".ini")), ini);
    EXPECT_EQ(ReadFileBytes(SlotFile(1)), kSlotLayout);
    ExpectUnchanged();
    EXPECT_EQ(FilesIn(Wide(Folder())),
              (std::vector<std::wstring>{L"fakecad.exe", L"panestow.exe", L"panestow.ini", L"panestow.rg"}));
  }
}

TEST_F(StartCheckTest, AFolderCodePage932CannotCarryGivesThePathBoxAndNothingIsWritten) {
  const std::wstring folder = Wide(Folder()) + L"\\M\u00fcller";
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  ASSERT_TRUE(CopyFileW(Wide(Exe()).c_str(), (folder + L"\\panestow.exe").c_str(), FALSE));
  // A slot file that S1 would restore, were the check not first.
  WriteFileBytes(SlotFile(1), kSlotLayout);
  ASSERT_TRUE(CopyFileW(Wide(SlotFile(1)).c_str(), (folder + L"\\panestow.rg").c_str(), FALSE));
  PutKeysBeforeRestore();

  ASSERT_TRUE(app_.Start(folder + L"\\panestow.exe", L"S1", folder));
  HANDLE process;
  const DialogInfo box = WaitStartBox(process);
  EXPECT_EQ(box.wide_caption, L"Panestow");
  EXPECT_EQ(box.wide_text, FromUtf16(FolderErrorText(std::u16string(folder.begin(), folder.end()),
                                                     FolderProblem::NotInCodePage)));
  EXPECT_NE(box.wide_text.find(folder + L"\r\n"), std::wstring::npos) << "the folder is named";
  OkAndExpectExit(box, process);
  EXPECT_EQ(FilesIn(folder), (std::vector<std::wstring>{L"panestow.exe", L"panestow.rg"}));
  ExpectUnchanged();
}

TEST_F(StartCheckTest, AFolderAsLongAsTheFilesAllowWorksAndOneByteMoreGivesThePathBox) {
  // The files' longest path is an entry of the history folder beside the
  // exe: the folder, "\panestow.history\" and a name of up to 36 bytes,
  // 259 bytes at most in code page 932. Japanese names, two bytes each,
  // in two levels: Linux takes at most 255 bytes (85 such characters in
  // UTF-8) for one name.
  const size_t base = Folder().size() + 1;  // with the backslash after it
  const size_t longest_folder = 259 - 36 - std::string("\\panestow.history\\").size();
  ASSERT_LT(base + 20, longest_folder);
  auto japanese = [](size_t bytes) {
    std::wstring name(bytes / 2, L'\u8868');  // 表, 95 5C in code page 932
    if (bytes % 2) name += L'a';
    return name;
  };
  auto nested = [&](size_t bytes) {
    const size_t first = (bytes - 1) / 2;
    return Wide(Folder()) + L"\\" + japanese(first) + L"\\" + japanese(bytes - 1 - first);
  };
  const struct {
    const char* what;
    std::wstring folder;
    bool works;
  } cases[] = {
      {"as long as the files allow", nested(longest_folder - base), true},
      {"one byte longer", nested(longest_folder - base + 1), false},
      {"130 Japanese characters", Wide(Folder()) + L"\\" + japanese(130) + L"\\" + japanese(130), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::wstring exe = c.folder + L"\\panestow.exe";
    ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + c.folder.substr(0, c.folder.rfind(L'\\'))).c_str(), nullptr) ||
                GetLastError() == ERROR_ALREADY_EXISTS);
    ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + c.folder).c_str(), nullptr));
    ASSERT_TRUE(CopyFileW(Wide(Exe()).c_str(), (L"\\\\?\\" + exe).c_str(), FALSE));
    std::printf("%s: %zu bytes of folder in code page 932\n", c.what, Ansi(c.folder).size());

    ASSERT_TRUE(app_.Start(exe, L"", c.folder));
    if (c.works) {
      HWND main = WaitMain();
      ASSERT_TRUE(main);
      CloseByButton(main);
      EXPECT_EQ(FilesIn(c.folder), (std::vector<std::wstring>{L"panestow.exe", L"panestow.ini"}));
      EXPECT_EQ(ReadFileBytes(Ansi(c.folder) + "\\panestow.ini").substr(0, 8), "[Form]\r\n");
    } else {
      HANDLE process;
      const DialogInfo box = WaitStartBox(process);
      EXPECT_EQ(box.wide_text, FromUtf16(FolderErrorText(std::u16string(c.folder.begin(), c.folder.end()),
                                                         FolderProblem::TooLong)));
      OkAndExpectExit(box, process);
      EXPECT_EQ(FilesIn(c.folder), (std::vector<std::wstring>{L"panestow.exe"}));
    }
  }
}

}  // namespace
}  // namespace panestow::e2e
