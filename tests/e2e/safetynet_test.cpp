// The safety net as a user meets it: the undo command of the main window's
// system menu, the warning when Jw_cad still runs, and a restore in a
// folder where no undo file can be written.
#include <windows.h>

#include "tests/e2e/E2e.h"
#include "tests/wine/UnixSide_win.h"

namespace panestow::e2e {
namespace {

using test::PathExists;
using test::WriteFileBytes;

const char kConfirmUndo[] = "Jw_cadは全て終了しておいて下さい。\r\n\r\n直前の復元の前のレイアウトに戻しますか？";
const char kUndone[] = "直前の復元を取り消しました。";
const char kJwCadRunning[] =
    "Jw_cadが起動中です。\r\n\r\nJw_cadは終了する時に画面レイアウトを書き込みます。このまま続けますか？";
constexpr UINT kUndoCommand = 0x0110;

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

  RestoreWithYes(main, 1);
  Answer(ExpectDialog(kInformation, kRestoredInfo, {kOk}), kOk);
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
  RestoreWithYes(main, 1);
  Answer(ExpectDialog(kInformation, kRestoredInfo, {kOk}), kOk);
  ExpectRestored();
  EXPECT_FALSE(PathExists(folder + "\\panestow.undo.reg"));
  SendUndo(main);
  ExpectNoDialog(main);
  CloseByButton(main);
}

}  // namespace
}  // namespace panestow::e2e
