// The windows from the keyboard: the Tab order of both windows, the save
// window's Alt keys, and the focus given back to the control that had it
// after a dialog or a switch to another window.
#include <windows.h>

#include <vector>

#include "tests/e2e/E2e.h"

namespace panestow::e2e {
namespace {

using test::PathExists;
using test::WriteFileBytes;

// Control ids as the windows number them.
constexpr int kButtonCloseId = 110;  // main window: ×
constexpr int kMainSaveId = 101;     // 保存
constexpr int kRestoreId[] = {0, 102, 103, 104, 105};
constexpr int kEditId[] = {0, 201, 202, 203, 204};
constexpr int kSaveButtonId[] = {0, 211, 212, 213, 214};
constexpr int kSaveCloseId = 215;    // 閉じる(&C)

class KeyboardTest : public E2eTest {
 protected:
  // The id of `window`'s focused control; 0 when none of its controls has
  // the focus.
  static int FocusId(HWND window) {
    HWND focus = automation::FocusedControl(window);
    return focus ? GetDlgCtrlID(focus) : 0;
  }

  // Waits until the control with this id has the focus in `window`.
  void ExpectFocus(HWND window, int id, Where where = {}) {
    if (!automation::WaitUntil([&] { return FocusId(window) == id; }, kTimeoutMs, app_.Handle())) {
      ADD_FAILURE_AT(where.file, where.line) << "the focus is on control " << FocusId(window) << ", not " << id;
    }
  }

  // Presses Tab `count` times; the ids that got the focus, in turn. A Tab
  // that moves nothing ends the list.
  std::vector<int> TabOrder(HWND window, size_t count) {
    std::vector<int> order;
    for (size_t i = 0; i < count; ++i) {
      const int before = FocusId(window);
      automation::PressKey(window, VK_TAB);
      if (!automation::WaitUntil([&] { return FocusId(window) != before; }, kTimeoutMs, app_.Handle())) break;
      order.push_back(FocusId(window));
    }
    return order;
  }

  // Presses Tab until the control with this id has the focus.
  void TabTo(HWND window, int id, Where where = {}) {
    for (int i = 0; i < 12 && FocusId(window) != id; ++i) TabOrder(window, 1);
    if (FocusId(window) != id) ADD_FAILURE_AT(where.file, where.line) << "Tab never reaches control " << id;
  }
};

TEST_F(KeyboardTest, TabGoesThroughBothWindowsInTheirDesignedOrder) {
  Start();
  HWND main = WaitMain();
  ASSERT_TRUE(main);
  ExpectFocus(main, kButtonCloseId);
  EXPECT_EQ(TabOrder(main, 6), (std::vector<int>{kMainSaveId, kRestoreId[1], kRestoreId[2], kRestoreId[3],
                                                   kRestoreId[4], kButtonCloseId}));

  HWND save = OpenSaveWindow(main);
  ASSERT_TRUE(save);
  ExpectFocus(save, kEditId[1]);
  EXPECT_EQ(TabOrder(save, 9),
            (std::vector<int>{kSaveButtonId[1], kEditId[2], kSaveButtonId[2], kEditId[3], kSaveButtonId[3],
                              kEditId[4], kSaveButtonId[4], kSaveCloseId, kEditId[1]}));
  automation::PressAltKey(save, 'C');
  ASSERT_TRUE(automation::WaitUntil([&] { return !IsWindowVisible(save); }, kTimeoutMs, app_.Handle()));
  CloseByButton(main);
}

TEST_F(KeyboardTest, AltDigitsSaveIntoTheirSlotsAndAltCCloses) {
  SetJwCadDword("Dialog", "Left", 120);
  Start();
  HWND main = WaitMain();
  ASSERT_TRUE(main);
  HWND save = OpenSaveWindow(main);
  ASSERT_TRUE(save);
  for (int slot : {3, 1, 4, 2}) {
    SCOPED_TRACE(slot);
    automation::PressAltKey(save, '0' + slot);
    Answer(ExpectDialog(kInformation, kSavedInfo, {kOk}), kOk);
    EXPECT_TRUE(PathExists(SlotFile(slot)));
    // The pressed button keeps the focus after its dialog.
    ExpectFocus(save, kSaveButtonId[slot]);
  }
  // A digit without Alt is text for the title edit, not a save.
  TabTo(save, kEditId[2]);
  automation::PressKey(save, '5');
  ExpectNoDialog(save);

  automation::PressAltKey(save, 'C');
  ASSERT_TRUE(automation::WaitUntil([&] { return !IsWindowVisible(save); }, kTimeoutMs, app_.Handle()));
  // Back in the main window, the save button that opened it has the focus.
  ExpectFocus(main, kMainSaveId);
  CloseByButton(main);
}

TEST_F(KeyboardTest, TheFocusGoesBackToTheRestoreButtonAfterItsDialogs) {
  PutKeysBeforeRestore();
  WriteFileBytes(SlotFile(1), kSlotLayout);
  Start();
  HWND main = WaitMain();
  ASSERT_TRUE(main);

  // Slot 1 asked and answered No, slot 1 restored (confirmation, then the
  // message), slot 3 never saved (the warning).
  automation::Click(RestoreButton(main, 1));
  Answer(ExpectDialog(kConfirmation, kConfirmRestore, {kYes, kNo}), kNo);
  ExpectFocus(main, kRestoreId[1]);

  automation::Click(RestoreButton(main, 1));
  Answer(ExpectDialog(kConfirmation, kConfirmRestore, {kYes, kNo}), kYes);
  Answer(ExpectDialog(kInformation, kRestoredInfo, {kOk}), kOk);
  ExpectFocus(main, kRestoreId[1]);
  ExpectRestored();

  automation::Click(RestoreButton(main, 3));
  Answer(ExpectDialog(kWarning, NotSavedWarning(3), {kOk}), kOk);
  ExpectFocus(main, kRestoreId[3]);
  CloseByButton(main);
}

TEST_F(KeyboardTest, TheFocusComesBackAfterASwitchToAnotherWindow) {
  Start();
  HWND main = WaitMain();
  ASSERT_TRUE(main);
  TabTo(main, kRestoreId[2]);

  // Another program's window takes the activation, then gives it back.
  HWND other = CreateWindowExA(0, "STATIC", "another program", WS_POPUP | WS_VISIBLE, 600, 500, 100, 50, nullptr,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_TRUE(other);
  SetForegroundWindow(other);
  EXPECT_TRUE(automation::WaitUntil([&] { return GetForegroundWindow() == other; }, kTimeoutMs));
  automation::Sync(main);
  SetForegroundWindow(main);
  EXPECT_TRUE(automation::WaitUntil([&] { return GetForegroundWindow() == main; }, kTimeoutMs));
  ExpectFocus(main, kRestoreId[2]);
  DestroyWindow(other);
  CloseByButton(main);
}


TEST_F(KeyboardTest, TheHistoryWindowFromTheKeyboard) {
  constexpr int kListId = 501, kPutBackId = IDOK, kCloseId = IDCANCEL;
  WriteFileBytes(SlotFile(1), kSlotLayout);
  Start();
  HWND main = WaitMain();
  ASSERT_TRUE(main);
  for (int i = 0; i < 2; ++i) {
    RestoreWithInfo(main, 1);
  }
  auto open = [&] {
    PostMessageA(main, WM_SYSCOMMAND, kHistoryCommand, 0);
    return ExpectDialog(kHistoryCaption, "", {kHistoryPutBack, kHistoryClose}).hwnd;
  };
  auto gone = [&](HWND window) {
    return automation::WaitUntil([&] { return !IsWindow(window); }, kTimeoutMs, app_.Handle());
  };
  HWND history = open();
  ASSERT_TRUE(history);
  ExpectFocus(history, kListId);
  // Enter with no line chosen does nothing; Tab passes the greyed button.
  automation::PressKey(history, VK_RETURN);
  automation::Sync(history);
  EXPECT_EQ(automation::Dialogs(app_.Id(), true).size(), 1u);
  EXPECT_EQ(TabOrder(history, 2), (std::vector<int>{kCloseId, kListId}));
  automation::PressKey(history, VK_HOME);
  ASSERT_TRUE(automation::WaitUntil(
      [&] { return IsWindowEnabled(GetDlgItem(history, kPutBackId)) != FALSE; }, kTimeoutMs, app_.Handle()));
  EXPECT_EQ(TabOrder(history, 3), (std::vector<int>{kPutBackId, kCloseId, kListId}));
  // Alt+R and Enter ask, as the button does.
  automation::PressAltKey(history, 'R');
  Answer(ExpectDialogOver(history, kConfirmation, kConfirmPutBack, {kYes, kNo}), kNo);
  automation::PressKey(history, VK_RETURN);
  Answer(ExpectDialogOver(history, kConfirmation, kConfirmPutBack, {kYes, kNo}), kNo);
  ASSERT_TRUE(IsWindowVisible(history));
  // Esc closes; so does Alt+C.
  automation::PressKey(history, VK_ESCAPE);
  ASSERT_TRUE(gone(history));
  history = open();
  ASSERT_TRUE(history);
  automation::PressAltKey(history, 'C');
  ASSERT_TRUE(gone(history));
  ExpectNoDialog(main);
  ExpectRestored();
  CloseByButton(main);
}

}  // namespace
}  // namespace panestow::e2e
