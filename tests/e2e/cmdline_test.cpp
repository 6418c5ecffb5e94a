// The command-line modes: a slot restored with or without dialogs, the
// launch of Jw_cad after it, and the arguments that change nothing.
#include <windows.h>

#include "layout/LayoutFile.h"
#include "tests/common/RawRegistry_win.h"
#include "tests/e2e/E2e.h"

namespace panestow::e2e {
namespace {

using test::PathExists;
using test::ReadFileBytes;
using test::WriteFileBytes;

// A settings file that the program reads but never writes so: a
// hexadecimal number, a comment and missing keys. After a close it holds
// the twelve lines with the values applied.
const char kSeededIni[] =
    "[Form]\r\nF1_X=0x20\r\nF1_Y=$40\r\nF1_W=260\r\nF1_H=280\r\nF2_X=-5\r\n; note\r\n[Sets]\r\nTit1=\"One\"\r\n";
const IniValues kSeededIniRewritten = {
    32, 64, 260, 280, -5, 109, {"One", kDefaultTitles[1], kDefaultTitles[2], kDefaultTitles[3]}};

const char kJwCadRunning[] =
    "Jw_cadが起動中です。\r\n\r\nJw_cadは終了する時に画面レイアウトを書き込みます。このまま続けますか？";

// What the stand-in for Jw_cad wrote: its command line and its folder.
struct CadLog {
  std::string program;     // the first argument, without quotes
  std::string parameters;  // the rest of the command line, after one blank
};

CadLog ParseCadLog(const std::string& log) {
  const std::string line = log.substr(0, log.find("\r\n"));
  CadLog parsed;
  size_t end;
  if (!line.empty() && line[0] == '"') {
    end = line.find('"', 1);
    parsed.program = line.substr(1, end - 1);
    ++end;
  } else {
    end = line.find(' ');
    parsed.program = line.substr(0, end);
  }
  if (end < line.size()) parsed.parameters = line.substr(end + 1);
  return parsed;
}

class CommandLineTest : public E2eTest {
 protected:
  void SetUp() override {
    E2eTest::SetUp();
    ASSERT_EQ(Folder().find(' '), std::string::npos) << "the open command is cut at its first blank";
    ASSERT_TRUE(CopyFileA((BuildFolder() + "\\fakecad.exe").c_str(), Cad().c_str(), FALSE));
  }

  std::string Cad() const { return Folder() + "\\fakecad.exe"; }
  std::string CadLogFile() const { return Folder() + "\\fakecad.log"; }

  // The keys before a restore, the slot's file and the settings file.
  void Prepare(int slot) {
    test::DeleteJwCadKeys();
    PutKeysBeforeRestore();
    for (int s = 1; s <= 4; ++s) DeleteFileA(SlotFile(s).c_str());
    if (slot) WriteFileBytes(SlotFile(slot), kSlotLayout);
    WriteFileBytes(Beside(".ini"), kSeededIni);
    DeleteFileA(CadLogFile().c_str());
  }

  void ExpectIniRewritten(Where where = {}) {
    if (ReadFileBytes(Beside(".ini")) != IniText(kSeededIniRewritten)) {
      ADD_FAILURE_AT(where.file, where.line) << "settings file:\n" << ReadFileBytes(Beside(".ini"));
    }
  }

  // The log of a launched stand-in, waited for, since the launch does not
  // wait for it; empty when none came. Just after the stand-in has renamed
  // it into place, Wine may still hold it open for a moment.
  static std::string WaitLog(const std::string& path) {
    std::string log;
    automation::WaitUntil([&] { return ReadShared(path, log); }, kTimeoutMs);
    return log;
  }

  static bool ReadShared(const std::string& path, std::string& out) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    out.clear();
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0) out.append(buf, got);
    CloseHandle(h);
    return true;
  }
};

TEST_F(CommandLineTest, SilentAndLaunchModesRestoreAndClose) {
  SetOpenCommand(Cad() + " \"%1\"");
  // parameters: what the stand-in gets after its own path; null when it
  // must not be started.
  const struct {
    const char* args;
    int slot;
    const char* parameters;
  } cases[] = {
      {"S1", 1, nullptr},
      {"s2", 2, nullptr},
      {"J1 a.jww \"b c.jww\"", 1, "\"a.jww\" \"b c.jww\""},
      {"j3", 3, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args);
    Prepare(c.slot);
    Start(c.args);
    ExpectExit();
    ExpectRestored();
    ExpectIniRewritten();
    if (!c.parameters) {
      EXPECT_FALSE(PathExists(CadLogFile()));
      continue;
    }
    const std::string log = WaitLog(CadLogFile());
    ASSERT_FALSE(log.empty()) << "Jw_cad was not started";
    const CadLog cad = ParseCadLog(log);
    EXPECT_EQ(lstrcmpiA(cad.program.c_str(), Cad().c_str()), 0) << cad.program;
    EXPECT_EQ(cad.parameters, c.parameters) << log;
  }
}

TEST_F(CommandLineTest, LaunchWithoutOpenCommandStartsTheDefaultJwCad) {
  // C:\JWW\Jw_win.exe in the prefix, for this test only.
  const std::string folder = "C:\\JWW";
  const std::string exe = folder + "\\Jw_win.exe";
  const std::string log = folder + "\\Jw_win.log";
  const bool made_folder = CreateDirectoryA(folder.c_str(), nullptr) != 0;
  ASSERT_TRUE(made_folder || GetLastError() == ERROR_ALREADY_EXISTS);
  ASSERT_TRUE(CopyFileA(Cad().c_str(), exe.c_str(), FALSE));
  DeleteFileA(log.c_str());

  Prepare(2);
  Start("J2 x.jww");
  ExpectExit();
  ExpectRestored();
  const std::string text = WaitLog(log);
  EXPECT_FALSE(text.empty()) << "C:\\JWW\\Jw_win.exe was not started";
  const CadLog cad = ParseCadLog(text);
  EXPECT_EQ(lstrcmpiA(cad.program.c_str(), exe.c_str()), 0) << cad.program;
  EXPECT_EQ(cad.parameters, "\"x.jww\"");
  EXPECT_FALSE(PathExists(CadLogFile()));

  DeleteFileA(exe.c_str());
  DeleteFileA(log.c_str());
  if (made_folder) RemoveDirectoryA(folder.c_str());
}

TEST_F(CommandLineTest, OpenCommandThatMayOnlyBeReadNamesTheProgramToLaunchAndToWarnAbout) {
  // Jw_cad installed for all users: its file type lies under
  // HKEY_LOCAL_MACHINE, where a standard user may read but not write.
  const std::string cad = Folder() + "\\jwcad.exe";
  ASSERT_TRUE(CopyFileA(Cad().c_str(), cad.c_str(), FALSE));
  SetOpenCommand(cad + " \"%1\"");
  test::ReadOnlyKey read_only(HKEY_CLASSES_ROOT, kOpenCommandKeyPath);
  HKEY key;
  ASSERT_NE(RegOpenKeyExA(HKEY_CLASSES_ROOT, kOpenCommandKeyPath, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS)
      << "the key may still be opened for all access";

  // A program of that name running elsewhere is Jw_cad.
  const std::string running_folder = Folder() + "\\running";
  ASSERT_TRUE(CreateDirectoryA(running_folder.c_str(), nullptr));
  ASSERT_TRUE(CopyFileA(Cad().c_str(), (running_folder + "\\jwcad.exe").c_str(), FALSE));
  automation::Process running;
  ASSERT_TRUE(running.Start(running_folder + "\\jwcad.exe", "--stay", running_folder));
  ASSERT_TRUE(automation::WaitUntil([&] { return PathExists(running_folder + "\\jwcad.log"); }, kTimeoutMs));
  Prepare(1);
  Start();
  HWND main = WaitMain();
  ASSERT_TRUE(main);
  automation::Click(RestoreButton(main, 1));
  Answer(ExpectDialog(kWarning, kJwCadRunning, {kYes, kNo}), kNo);
  CloseByButton(main);
  ExpectUnchanged();
  TerminateProcess(running.Handle(), 0);
  ASSERT_TRUE(running.WaitExit(kTimeoutMs));

  // The launch starts it, not C:\JWW\Jw_win.exe.
  Prepare(1);
  Start("J1 a.jww");
  ExpectExit();
  ExpectRestored();
  const std::string log = WaitLog(Folder() + "\\jwcad.log");
  ASSERT_FALSE(log.empty()) << "the registered Jw_cad was not started";
  const CadLog launched = ParseCadLog(log);
  EXPECT_EQ(lstrcmpiA(launched.program.c_str(), cad.c_str()), 0) << launched.program;
  EXPECT_EQ(launched.parameters, "\"a.jww\"");
}

TEST_F(CommandLineTest, ArgumentsThatNameNoSavedSlotLeaveTheWindowOpenWithoutAWord) {
  SetOpenCommand(Cad() + " \"%1\"");
  // Only slot 1 has a file; none of these restores it.
  for (const char* args : {"S3", "J3 a.jww", "S5", "J0", "S1x", "S", "5", "0", "X", "\"\""}) {
    SCOPED_TRACE(args);
    Prepare(1);
    Start(args);
    HWND main = WaitMain();
    ASSERT_TRUE(main);
    ExpectNoDialog(main);
    ExpectUnchanged();
    CloseByButton(main);
    EXPECT_FALSE(PathExists(CadLogFile()));
  }
}

TEST_F(CommandLineTest, ConfirmedModeWithoutFileWarnsAndCloses) {
  Prepare(1);
  Start("3");
  Answer(ExpectDialog(kWarning, NotSavedWarning(3), {kOk}), kOk);
  ExpectExit();
  ExpectUnchanged();
  ExpectIniRewritten();
}

TEST_F(CommandLineTest, ConfirmedModeRestoresOnYesOnlyAndClosesEitherWay) {
  const struct {
    const char* args;
    bool yes;
  } cases[] = {{"02", true}, {"2", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args);
    Prepare(2);
    Start(c.args);
    const DialogInfo confirmation = ExpectDialog(kConfirmation, kConfirmRestore, {kYes, kNo});
    if (c.yes) {
      Answer(confirmation, kYes);
      Answer(ExpectDialog(kInformation, kRestoredInfo, {kOk}), kOk);
      ExpectExit();
      ExpectRestored();
    } else {
      Answer(confirmation, kNo);
      ExpectExit();
      ExpectUnchanged();
    }
    ExpectIniRewritten();
  }
}

TEST_F(CommandLineTest, LockedSlotFileShowsTheErrorBoxAndNeitherClosesNorLaunches) {
  SetOpenCommand(Cad() + " \"%1\"");
  for (const char* args : {"S1", "J1 a.jww", "1"}) {
    SCOPED_TRACE(args);
    Prepare(1);
    HANDLE lock = CreateFileA(SlotFile(1).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    Start(args);
    if (args[0] == '1') Answer(ExpectDialog(kConfirmation, kConfirmRestore, {kYes, kNo}), kYes);
    const std::string exe = app_.ImagePath();
    const std::string layout_path = exe.substr(0, exe.size() - 4) + ".rg";
    Answer(ExpectDialog("Panestow", "ファイル " + layout_path + " は開けません.", {kOk}), kOk);
    CloseHandle(lock);

    // The window shows as in interactive use and stays.
    HWND main = WaitMain();
    ASSERT_TRUE(main);
    ExpectNoDialog(main);
    EXPECT_TRUE(app_.Running());
    ExpectUnchanged();
    CloseByButton(main);
    EXPECT_FALSE(PathExists(CadLogFile()));
  }
}

}  // namespace
}  // namespace panestow::e2e
