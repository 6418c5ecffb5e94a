// The main window and the save window, worked from outside: saving into
// slots, titles, restoring, the dialogs and how they are answered, and the
// width rule of the restore buttons.
#include <windows.h>

#include "tests/e2e/E2e.h"

namespace panestow::e2e {
namespace {

using test::PathExists;
using test::ReadFileBytes;
using test::WriteFileBytes;

const char kNotSavedError[] = "Jw_cad画面レイアウトファイルが保存出来ませんでした。";

// Jw_cad's keys as a capture finds them: two captured subkeys and one that
// is not. Made in sorted order, so that Windows (creation order) and Wine
// (sorted) list them alike.
void PutJwCadLayout() {
  SetJwCadString("Dialog", "Caption", "abc");
  SetJwCadDword("Dialog", "Left", 120);
  SetJwCadString("Other", "X", "not captured");
  SetJwCadDword("ToolBar-Edit", "Shown", 0xFFFFFFFF);
}
const char kCapturedLayout[] =
    "2\r\n"
    "[Dialog]\r\n2\r\nCaption\t\"abc\"\r\nLeft\t120\r\n"
    "[ToolBar-Edit]\r\n1\r\nShown\t-1\r\n";


// How a dialog gets answered.
enum class How { No, Escape, Enter, CloseBox };
const char* Name(How how) {
  switch (how) {
    case How::No: return "the No button";
    case How::Escape: return "Esc";
    case How::Enter: return "Enter";
    case How::CloseBox: return "the close box";
  }
  return "";
}

class WindowsTest : public E2eTest {
 protected:
  void AnswerAs(const DialogInfo& dialog, How how, Where where = {}) {
    switch (how) {
      case How::No: Answer(dialog, kNo, where); break;
      case How::Escape: AnswerByKey(dialog, VK_ESCAPE, where); break;
      case How::Enter: AnswerByKey(dialog, VK_RETURN, where); break;
      case How::CloseBox: AnswerByCloseBox(dialog, where); break;
    }
  }

  // Jw_cad's keys as before a restore, slot 1's file, and the program
  // started on them: its main window.
  HWND StartWithSlot1Saved(Where where = {}) {
    PutKeysBeforeRestore();
    WriteFileBytes(SlotFile(1), kSlotLayout);
    Start("", "", where);
    return WaitMain(where);
  }

};

TEST_F(WindowsTest, SavesIntoSlotsOneAndThreeThroughTheSaveWindow) {
  PutJwCadLayout();
  Start();
  HWND main = WaitMain();
  ASSERT_TRUE(main);
  HWND save = OpenSaveWindow(main);
  ASSERT_TRUE(save);
  EXPECT_FALSE(IsWindowEnabled(main)) << "the save window runs modally";

  for (int slot : {1, 3}) {
    SCOPED_TRACE(slot);
    automation::Click(Control(save, "Button", kSaveButtons[slot - 1]));
    Answer(ExpectDialog(kInformation, kSavedInfo, {kOk}), kOk);
  }
  CloseSaveWindow(main, save, kSaveWindowClose);
  EXPECT_TRUE(IsWindowEnabled(main));
  CloseByButton(main);

  EXPECT_EQ(ReadFileBytes(SlotFile(1)), kCapturedLayout);
  EXPECT_EQ(ReadFileBytes(SlotFile(3)), kCapturedLayout);
  EXPECT_FALSE(PathExists(SlotFile(2)));
  EXPECT_FALSE(PathExists(SlotFile(4)));
}

TEST_F(WindowsTest, SaveIntoAReadOnlySlotFileReportsAnErrorAndKeepsTheFile) {
  PutJwCadLayout();
  WriteFileBytes(SlotFile(2), "0\r\n");
  ASSERT_TRUE(SetFileAttributesA(SlotFile(2).c_str(), FILE_ATTRIBUTE_READONLY));
  Start();
  HWND main = WaitMain();
  ASSERT_TRUE(main);
  HWND save = OpenSaveWindow(main);
  ASSERT_TRUE(save);
  automation::Click(Control(save, "Button", kSaveButtons[1]));
  Answer(ExpectDialog(kError, kNotSavedError, {kOk}), kOk);
  CloseSaveWindow(main, save, kSaveWindowClose);
  CloseByButton(main);
  EXPECT_EQ(ReadFileBytes(SlotFile(2)), "0\r\n");
}

TEST_F(WindowsTest, SaveWindowOpensOnlyWhenTheConfirmationIsAnsweredYes) {
  Start();
  HWND main = WaitMain();
  ASSERT_TRUE(main);
  HWND save = automation::TopWindows(app_.Id(), nullptr, kSaveCaption, false).at(0);

  // Esc and the close box answer like No; Enter presses the default, Yes.
  const struct {
    How how;
    bool opens;
  } cases[] = {{How::No, false}, {How::Escape, false}, {How::CloseBox, false}, {How::Enter, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(Name(c.how));
    automation::Click(Control(main, "Button", kMainSave));
    AnswerAs(ExpectDialog(kConfirmation, kConfirmSave, {kYes, kNo}), c.how);
    automation::Sync(main);
    EXPECT_EQ(IsWindowVisible(save) != FALSE, c.opens);
    if (IsWindowVisible(save)) CloseSaveWindow(main, save, kSaveWindowClose);
  }
  CloseByButton(main);
  for (int slot = 1; slot <= 4; ++slot) EXPECT_FALSE(PathExists(SlotFile(slot)));
}

TEST_F(WindowsTest, TitleEditedWithoutSavingReachesTheRestoreButtonAndTheSettingsFile) {
  Start();
  HWND main = WaitMain();
  ASSERT_TRUE(main);
  HWND save = OpenSaveWindow(main);
  ASSERT_TRUE(save);
  std::vector<HWND> edits = automation::Children(save, "Edit");
  ASSERT_EQ(edits.size(), 4u);
  ASSERT_TRUE(automation::SetText(edits[1], "Edited two"));
  ASSERT_TRUE(automation::SetText(edits[2], ""));
  CloseSaveWindow(main, save, nullptr);

  EXPECT_EQ(RestoreCaption(main, 1), kDefaultTitles[0]);
  EXPECT_EQ(RestoreCaption(main, 2), "Edited two");
  EXPECT_EQ(RestoreCaption(main, 3), "");

  // Opened again, the save window shows the titles as they were left.
  save = OpenSaveWindow(main);
  ASSERT_TRUE(save);
  EXPECT_EQ(automation::TextOf(edits[1]), "Edited two");
  EXPECT_EQ(automation::TextOf(edits[2]), "");
  CloseSaveWindow(main, save, kSaveWindowClose);

  const RECT rc = automation::WindowRect(main);
  CloseByButton(main);
  const std::string ini = ReadFileBytes(Beside(".ini"));
  EXPECT_NE(ini.find("\r\nTit1=\"" + std::string(kDefaultTitles[0]) + "\"\r\nTit2=\"Edited two\"\r\nTit3=\"\"\r\n"),
            std::string::npos)
      << ini;
  EXPECT_NE(ini.find("F1_W=" + std::to_string(rc.right - rc.left) + "\r\n"), std::string::npos) << ini;
  for (int slot = 1; slot <= 4; ++slot) EXPECT_FALSE(PathExists(SlotFile(slot)));
}

// A save window closed while minimized comes back where it stood, and its
// place, not the icon's, goes into the settings file.
TEST_F(WindowsTest, SaveWindowClosedWhileMinimizedKeepsItsPlace) {
  Start();
  HWND main = WaitMain();
  ASSERT_TRUE(main);
  HWND save = OpenSaveWindow(main);
  ASSERT_TRUE(save);
  PostMessageA(save, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ASSERT_TRUE(automation::WaitUntil([&] { return IsIconic(save) != FALSE; }, kTimeoutMs, app_.Handle()));
  CloseSaveWindow(main, save, nullptr);

  save = OpenSaveWindow(main);
  ASSERT_TRUE(save);
  EXPECT_FALSE(IsIconic(save));
  const RECT rc = automation::WindowRect(save);
  EXPECT_EQ(rc.left, 193);
  EXPECT_EQ(rc.top, 109);
  PostMessageA(save, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ASSERT_TRUE(automation::WaitUntil([&] { return IsIconic(save) != FALSE; }, kTimeoutMs, app_.Handle()));
  CloseSaveWindow(main, save, nullptr);
  CloseByButton(main);
  const std::string ini = ReadFileBytes(Beside(".ini"));
  EXPECT_NE(ini.find("\r\nF2_X=193\r\nF2_Y=109\r\n"), std::string::npos) << ini;
}

TEST_F(WindowsTest, RestoreAnsweredYesRewritesTheKeysAndReports) {
  HWND main = StartWithSlot1Saved();
  ASSERT_TRUE(main);

  RestoreWithYes(main, 1);
  const DialogInfo info = ExpectDialog(kInformation, kRestoredInfo, {kOk});
  // The status text comes first, the message after it; the message is
  // modal and centred on the screen.
  EXPECT_EQ(automation::TextOf(StatusLabel(main)), kRestoreSucceeded);
  EXPECT_FALSE(IsWindowEnabled(main));
  const RECT rc = automation::WindowRect(info.hwnd);
  EXPECT_NEAR(rc.left + rc.right, GetSystemMetrics(SM_CXSCREEN), 1);
  EXPECT_NEAR(rc.top + rc.bottom, GetSystemMetrics(SM_CYSCREEN), 1);
  Answer(info, kOk);
  EXPECT_TRUE(IsWindowEnabled(main));

  EXPECT_EQ(JwCadValues("Dialog"), kDialogRestored);
  EXPECT_EQ(JwCadValues("UserBar"), kUserBarRestored);
  CloseByButton(main);
}

TEST_F(WindowsTest, RestoreAnsweredOtherThanYesChangesNothing) {
  HWND main = StartWithSlot1Saved();
  ASSERT_TRUE(main);

  for (How how : {How::No, How::Escape, How::CloseBox}) {
    SCOPED_TRACE(Name(how));
    automation::Click(RestoreButton(main, 1));
    AnswerAs(ExpectDialog(kConfirmation, kConfirmRestore, {kYes, kNo}), how);
    ExpectNoDialog(main);
    EXPECT_EQ(automation::TextOf(StatusLabel(main)), "");
    EXPECT_EQ(JwCadValues("Dialog"), kDialogBefore);
    EXPECT_EQ(JwCadValues("UserBar"), kNoKey);
  }
  CloseByButton(main);
}

TEST_F(WindowsTest, RestoreOfAnUnsavedSlotWarnsAndKeepsTheStatusText) {
  HWND main = StartWithSlot1Saved();
  ASSERT_TRUE(main);
  RestoreWithYes(main, 1);
  Answer(ExpectDialog(kInformation, kRestoredInfo, {kOk}), kOk);
  SetJwCadString("Dialog", "Caption", "changed since");

  // Esc answers a dialog with OK alone, and so does OK itself.
  const struct {
    int slot;
    How how;
  } cases[] = {{2, How::Escape}, {4, How::Enter}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.slot);
    automation::Click(RestoreButton(main, c.slot));
    AnswerAs(ExpectDialog(kWarning, NotSavedWarning(c.slot), {kOk}), c.how);
    ExpectNoDialog(main);
    EXPECT_EQ(automation::TextOf(StatusLabel(main)), kRestoreSucceeded);
    EXPECT_EQ(JwCadValues("Dialog").at("Caption"), "REG_SZ changed since");
  }
  CloseByButton(main);
}

TEST_F(WindowsTest, FailedRestoreIsTakenBackAndShowsOnlyTheStatusText) {
  // A value name longer than the registry takes (16383 characters) makes
  // the write fail in the second section, after the first was restored:
  // both keys come back as they were.
  WriteFileBytes(SlotFile(1), "2\r\n[Dialog]\r\n1\r\nLeft\t7\r\n[UserBar]\r\n2\r\nTop\t1\r\n" +
                                  std::string(20000, 'N') + "\t1\r\n");
  PutKeysBeforeRestore();
  SetJwCadDword("UserBar", "Old", 1);
  Start();
  HWND main = WaitMain();
  ASSERT_TRUE(main);

  RestoreWithYes(main, 1);
  ExpectNoDialog(main);
  EXPECT_EQ(automation::TextOf(StatusLabel(main)), kRestoreFailed);
  EXPECT_EQ(JwCadValues("Dialog"), kDialogBefore);
  EXPECT_EQ(JwCadValues("UserBar"), (KeyValues{{"Old", "REG_DWORD 1"}}));
  CloseByButton(main);
}

TEST_F(WindowsTest, LockedLayoutFileShowsTheErrorBoxAndTheWindowStaysUsable) {
  HWND main = StartWithSlot1Saved();
  ASSERT_TRUE(main);
  // The program's own name for the file: its path as the system loaded it.
  const std::string exe = app_.ImagePath();
  const std::string layout_path = exe.substr(0, exe.size() - 4) + ".rg";

  HANDLE lock = CreateFileA(SlotFile(1).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  RestoreWithYes(main, 1);
  Answer(ExpectDialog("Panestow", "ファイル " + layout_path + " は開けません.", {kOk}), kOk);
  CloseHandle(lock);
  ExpectNoDialog(main);
  EXPECT_EQ(automation::TextOf(StatusLabel(main)), "");
  EXPECT_EQ(JwCadValues("Dialog"), kDialogBefore);

  // Unlocked, the same button goes through.
  RestoreWithYes(main, 1);
  Answer(ExpectDialog(kInformation, kRestoredInfo, {kOk}), kOk);
  EXPECT_EQ(JwCadValues("Dialog"), kDialogRestored);
  CloseByButton(main);
}

TEST_F(WindowsTest, RestoreButtonsFollowTheWidthButStayAtLeast64Wide) {
  Start();
  HWND main = WaitMain();
  ASSERT_TRUE(main);
  // Client width -> restore button width: 24 less, and never below 64.
  // The narrow ones lie below the window system's minimum width (a client
  // width of about 104 under Wine), which the rule does not rely on.
  const struct {
    int client, button;
    bool below_minimum;
  } cases[] = {{300, 276, false}, {204, 180, false}, {89, 65, true}, {88, 64, true}, {70, 64, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.client);
    ASSERT_TRUE(automation::SetClientWidth(main, c.client, c.below_minimum));
    ASSERT_EQ(automation::ClientSize(main).cx, c.client);
    automation::Sync(main);
    for (int slot = 1; slot <= 4; ++slot) {
      const RECT rc = automation::WindowRect(RestoreButton(main, slot));
      EXPECT_EQ(rc.right - rc.left, c.button) << "slot " << slot;
      EXPECT_EQ(rc.bottom - rc.top, 33) << "slot " << slot;
    }
  }
  CloseByButton(main);
}

}  // namespace
}  // namespace panestow::e2e
