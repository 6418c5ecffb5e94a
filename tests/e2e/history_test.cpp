// The history as a user meets it: the history window of the main window's
// system menu, its list, its keys, and putting back registry keys and a
// slot's file from it.
#include <windows.h>

#include <regex>

#include "tests/e2e/E2e.h"

namespace panestow::e2e {
namespace {

using test::ReadFileBytes;
using test::WriteFileBytes;

// A second layout: other values for the same two keys.
const char kSecondLayout[] = "2\r\n[Dialog]\r\n1\r\nLeft\t2\r\n[UserBar]\r\n1\r\nTop\t5\r\n";

class HistoryTest : public E2eTest {
 protected:
  // The history window, opened by its system command.
  HWND OpenHistory(HWND main, Where where = {}) {
    PostMessageA(main, WM_SYSCOMMAND, kHistoryCommand, 0);
    const DialogInfo info = ExpectDialog(kHistoryCaption, "", {kHistoryPutBack, kHistoryClose}, where);
    return info.hwnd;
  }
  static HWND List(HWND history) { return automation::FindChild(history, "ListBox", nullptr); }
  HWND PutBackButton(HWND history, Where where = {}) { return Control(history, "Button", kHistoryPutBack, where); }
  // What the lines say, without their date and time.
  static std::vector<std::string> Kinds(HWND history) {
    std::vector<std::string> kinds;
    for (const std::string& line : automation::ListLines(List(history))) kinds.push_back(line.substr(21));
    return kinds;
  }
  // Selects a line with the keyboard, as a user does (the list has the
  // focus).
  void Select(HWND history, int line, Where where = {}) {
    automation::PressKey(history, VK_HOME);
    for (int i = 0; i < line; ++i) automation::PressKey(history, VK_DOWN);
    if (!automation::WaitUntil([&] { return automation::ListSelection(List(history)) == line; }, kTimeoutMs)) {
      ADD_FAILURE_AT(where.file, where.line) << "line " << line << " is not selected";
    }
  }
};

TEST_F(HistoryTest, AfterTryingTwoSlotsTheHistoryPutsBackTheOriginalLayout) {
  PutKeysBeforeRestore();
  WriteFileBytes(SlotFile(1), kSlotLayout);
  WriteFileBytes(SlotFile(2), kSecondLayout);
  Start();
  HWND main = WaitMain();
  ASSERT_TRUE(main);
  // Without a history the command opens nothing.
  PostMessageA(main, WM_SYSCOMMAND, kHistoryCommand, 0);
  ExpectNoDialog(main);

  RestoreWithInfo(main, 1);
  RestoreWithInfo(main, 2);
  ASSERT_EQ(JwCadValues("Dialog").at("Left"), "REG_DWORD 2");
  HWND history = OpenHistory(main);
  ASSERT_TRUE(history);
  // Newest first, each with the local date and time of its change.
  const std::vector<std::string> lines = automation::ListLines(List(history));
  ASSERT_EQ(lines.size(), 2u);
  const std::regex when("^20[0-9]{2}/[01][0-9]/[0-3][0-9] [0-2][0-9]:[0-5][0-9]:[0-5][0-9]  ");
  for (const std::string& line : lines) EXPECT_TRUE(std::regex_search(line, when)) << line;
  EXPECT_LE(lines[1].substr(0, 19), lines[0].substr(0, 19));
  EXPECT_EQ(Kinds(history), (std::vector<std::string>{"【設定２】を戻す前のレイアウト", "【設定１】を戻す前のレイアウト"}));
  // Centred on the main window.
  const RECT outer = automation::WindowRect(main);
  const RECT inner = automation::WindowRect(history);
  EXPECT_NEAR((inner.left + inner.right) / 2, (outer.left + outer.right) / 2, 1);
  EXPECT_NEAR((inner.top + inner.bottom) / 2, (outer.top + outer.bottom) / 2, 1);

  // Nothing to put back until a line is chosen.
  EXPECT_FALSE(IsWindowEnabled(PutBackButton(history)));
  Select(history, 1);
  EXPECT_EQ(automation::ListSelection(List(history)), 1);
  EXPECT_TRUE(IsWindowEnabled(PutBackButton(history)));
  // No keeps the window open; Yes puts the keys back and closes it.
  automation::Click(PutBackButton(history));
  Answer(ExpectDialogOver(history, kConfirmation, kConfirmPutBack, {kYes, kNo}), kNo);
  EXPECT_EQ(JwCadValues("Dialog").at("Left"), "REG_DWORD 2");
  ASSERT_TRUE(IsWindowVisible(history));
  automation::Click(PutBackButton(history));
  Answer(ExpectDialogOver(history, kConfirmation, kConfirmPutBack, {kYes, kNo}), kYes);
  ASSERT_TRUE(automation::WaitUntil([&] { return !IsWindow(history); }, kTimeoutMs));
  ExpectNoDialog(main);
  EXPECT_EQ(automation::TextOf(StatusLabel(main)), kPutBackDone);
  ExpectUnchanged();

  // The undo now takes the put-back back.
  PostMessageA(main, WM_SYSCOMMAND, kUndoCommand, 0);
  Answer(ExpectDialog(kConfirmation, kConfirmUndo, {kYes, kNo}), kYes);
  ExpectNoDialog(main);
  EXPECT_EQ(JwCadValues("Dialog").at("Left"), "REG_DWORD 2");
  history = OpenHistory(main);
  EXPECT_EQ(Kinds(history), (std::vector<std::string>{"取り消す前のレイアウト", "履歴から戻す前のレイアウト",
                                                      "【設定２】を戻す前のレイアウト", "【設定１】を戻す前のレイアウト"}));
  automation::PressKey(history, VK_ESCAPE);
  ASSERT_TRUE(automation::WaitUntil([&] { return !IsWindow(history); }, kTimeoutMs));
  CloseByButton(main);
}

TEST_F(HistoryTest, ASaveOverSlot3IsPutBackByteForByte) {
  PutKeysBeforeRestore();
  const std::string old_file = "1\r\n[Dialog]\r\n2\r\nLeft\t4\r\nName\t\"古い\"\r\n";
  WriteFileBytes(SlotFile(3), old_file);
  Start();
  HWND main = WaitMain();
  ASSERT_TRUE(main);
  HWND save = OpenSaveWindow(main);
  ASSERT_TRUE(save);
  automation::Click(Control(save, "Button", kSaveButtons[2]));
  Answer(ExpectDialog(kInformation, kSavedInfo, {kOk}), kOk);
  CloseSaveWindow(main, save, kSaveWindowClose);
  const std::string saved = ReadFileBytes(SlotFile(3));
  ASSERT_NE(saved, old_file);

  HWND history = OpenHistory(main);
  ASSERT_TRUE(history);
  EXPECT_EQ(Kinds(history), (std::vector<std::string>{"上書き前の【設定３】"}));
  // Enter puts back the chosen line.
  Select(history, 0);
  automation::PressKey(history, VK_RETURN);
  Answer(ExpectDialogOver(history, kConfirmation, ConfirmSlotPutBack(3), {kYes, kNo}), kYes);
  ASSERT_TRUE(automation::WaitUntil([&] { return !IsWindow(history); }, kTimeoutMs));
  ExpectNoDialog(main);
  EXPECT_EQ(automation::TextOf(StatusLabel(main)), SlotPutBackDone(3));
  EXPECT_EQ(ReadFileBytes(SlotFile(3)), old_file);
  EXPECT_EQ(RestoreCaption(main, 3), kDefaultTitles[2]);
  // The file it replaced is kept in its turn.
  history = OpenHistory(main);
  EXPECT_EQ(Kinds(history), (std::vector<std::string>{"上書き前の【設定３】", "上書き前の【設定３】"}));
  automation::Click(Control(history, "Button", kHistoryClose));
  ASSERT_TRUE(automation::WaitUntil([&] { return !IsWindow(history); }, kTimeoutMs));
  CloseByButton(main);
}

}  // namespace
}  // namespace panestow::e2e
