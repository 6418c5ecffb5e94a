// The safety net as a user meets it: the undo command of the main window's
// system menu, the warning when Jw_cad still runs, and a restore in a
// folder where no undo file can be written.
#include <windows.h>

#include "registry/RegistryStore.h"
#include "tests/common/RawRegistry_win.h"
#include "tests/e2e/E2e.h"
#include "tests/wine/UnixSide_win.h"

namespace panestow::e2e {
namespace {

using test::PathExists;
using test::WriteFileBytes;

const char kJwCadRunning[] =
    "Jw_cadが起動中です。\r\n\r\nJw_cadは終了する時に画面レイアウトを書き込みます。このまま続けますか？";

class SafetyNetTest : public E2eTest {
 protected:
  // The undo command, as automation sends it; without an undo file it
  // does nothing (the menu item is greyed out then).
  void SendUndo(HWND main) { PostMessageA(main, WM_SYSCOMMAND, kUndoCommand, 0); }
};

TEST_F(SafetyNetTest, UndoFromTheSystemMenuGivesBackTheKeysBeforeTheRestore) {
  PutKeysBeforeRestore();
  WriteFileBytes(SlotFile(1), kSlotLayout);
  Start();
  HWND main = WaitMain();
  ASSERT_TRUE(main);
  SendUndo(main);
  ExpectNoDialog(main);

  RestoreWithInfo(main, 1);
  ExpectRestored();
  EXPECT_TRUE(PathExists(Beside(".undo.reg")));

  // Declined, nothing changes; confirmed, the keys are as before.
  SendUndo(main);
  Answer(ExpectDialog(kConfirmation, kConfirmUndo, {kYes, kNo}), kNo);
  ExpectNoDialog(main);
  ExpectRestored();
  SendUndo(main);
  Answer(ExpectDialog(kConfirmation, kConfirmUndo, {kYes, kNo}), kYes);
  ExpectNoDialog(main);
  EXPECT_EQ(automation::TextOf(StatusLabel(main)), kUndone);
  ExpectUnchanged();
  CloseByButton(main);
}

TEST_F(SafetyNetTest, JwCadStillRunningIsWarnedAboutBeforeTheRestoreConfirmation) {
  PutKeysBeforeRestore();
  WriteFileBytes(SlotFile(1), kSlotLayout);
  // The stand-in for Jw_cad, running under Jw_cad's image name.
  const std::string cad_folder = Folder() + "\\jww";
  ASSERT_TRUE(CreateDirectoryA(cad_folder.c_str(), nullptr));
  const std::string cad = cad_folder + "\\Jw_win.exe";
  ASSERT_TRUE(CopyFileA((BuildFolder() + "\\fakecad.exe").c_str(), cad.c_str(), FALSE));
  automation::Process jwcad;
  ASSERT_TRUE(jwcad.Start(cad, "--stay", cad_folder));
  ASSERT_TRUE(automation::WaitUntil([&] { return PathExists(cad_folder + "\\Jw_win.log"); }, kTimeoutMs));

  Start();
  HWND main = WaitMain();
  ASSERT_TRUE(main);
  // Esc and Enter answer No: the restore stops before its confirmation.
  for (UINT key : {VK_ESCAPE, VK_RETURN}) {
    automation::Click(RestoreButton(main, 1));
    AnswerByKey(ExpectDialog(kWarning, kJwCadRunning, {kYes, kNo}), key);
    ExpectNoDialog(main);
  }
  ExpectUnchanged();
  // Yes goes on to the usual confirmation.
  automation::Click(RestoreButton(main, 1));
  Answer(ExpectDialog(kWarning, kJwCadRunning, {kYes, kNo}), kYes);
  Answer(ExpectDialog(kConfirmation, kConfirmRestore, {kYes, kNo}), kNo);
  ExpectUnchanged();

  // With Jw_cad ended, the confirmation comes straight away.
  TerminateProcess(jwcad.Handle(), 0);
  ASSERT_TRUE(jwcad.WaitExit(kTimeoutMs));
  automation::Click(RestoreButton(main, 1));
  Answer(ExpectDialog(kConfirmation, kConfirmRestore, {kYes, kNo}), kNo);
  ExpectNoDialog(main);
  CloseByButton(main);
}

TEST_F(SafetyNetTest, InAFolderWhereNothingMayBeWrittenTheRestoreWorksAndNoUndoIsOffered) {
  const std::string folder = Folder() + "\\locked";
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  const std::string exe = folder + "\\panestow.exe";
  ASSERT_TRUE(CopyFileA(Exe().c_str(), exe.c_str(), FALSE));
  WriteFileBytes(folder + "\\panestow.rg", kSlotLayout);
  PutKeysBeforeRestore();
  test::ImmutableFolder locked(folder);
  ASSERT_TRUE(locked.ok()) << "cannot make a folder unwritable here (chattr +i)";

  ASSERT_TRUE(app_.Start(exe, "", folder));
  HWND main = WaitMain();
  ASSERT_TRUE(main);
  RestoreWithInfo(main, 1);
  ExpectRestored();
  EXPECT_FALSE(PathExists(folder + "\\panestow.undo.reg"));
  EXPECT_FALSE(PathExists(folder + "\\panestow.history"));
  SendUndo(main);
  ExpectNoDialog(main);
  // Nor a history: its command opens nothing.
  PostMessageA(main, WM_SYSCOMMAND, kHistoryCommand, 0);
  ExpectNoDialog(main);
  CloseByButton(main);
}

TEST_F(SafetyNetTest, AHistoryFolderWhereNothingMayBeWrittenLeavesTheRestoreAndItsUndoAsTheyWouldBe) {
  const std::string history = Beside(".history");
  ASSERT_TRUE(CreateDirectoryA(history.c_str(), nullptr));
  WriteFileBytes(SlotFile(1), kSlotLayout);
  PutKeysBeforeRestore();
  test::ImmutableFolder locked(history);
  ASSERT_TRUE(locked.ok()) << "cannot make a folder unwritable here (chattr +i)";
  Start();
  HWND main = WaitMain();
  ASSERT_TRUE(main);
  RestoreWithInfo(main, 1);
  ExpectRestored();
  PostMessageA(main, WM_SYSCOMMAND, kHistoryCommand, 0);
  ExpectNoDialog(main);
  SendUndo(main);
  Answer(ExpectDialog(kConfirmation, kConfirmUndo, {kYes, kNo}), kYes);
  ExpectNoDialog(main);
  ExpectUnchanged();
  CloseByButton(main);
}

TEST_F(SafetyNetTest, OnAnAccountWithoutJwCadTheUndoLeavesWhatJwCadWroteSince) {
  WriteFileBytes(SlotFile(1), kSlotLayout);
  Start();
  HWND main = WaitMain();
  ASSERT_TRUE(main);
  RestoreWithInfo(main, 1);
  ExpectRestored();
  SetJwCadDword("Recent", "Count", 3);
  test::SetRawValue(HKEY_CURRENT_USER, "Software\\Jw_cad\\jw_win", "Own", REG_DWORD, EncodeDword(1));
  SendUndo(main);
  Answer(ExpectDialog(kConfirmation, kConfirmUndo, {kYes, kNo}), kYes);
  ExpectNoDialog(main);
  EXPECT_EQ(JwCadValues("Dialog"), kNoKey);
  EXPECT_EQ(JwCadValues("UserBar"), kNoKey);
  EXPECT_EQ(JwCadValues("Recent"), (KeyValues{{"Count", "REG_DWORD 3"}}));
  EXPECT_EQ(test::ReadRawValues(HKEY_CURRENT_USER, "Software\\Jw_cad\\jw_win",
                                [](DWORD type, const std::string& data) {
                                  return std::to_string(type) + ":" + std::to_string(data.size());
                                }),
            (std::map<std::string, std::string>{{"Own", "4:4"}}));
  CloseByButton(main);
}

}  // namespace
}  // namespace panestow::e2e
