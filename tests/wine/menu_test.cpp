// The main window's system menu, in the program's own process: the undo
// command after a separator, then the history command, each greyed out
// until it is offered.
#include <windows.h>

#include <gtest/gtest.h>

#include "ui/Controls_win.h"
#include "ui/Unit1_win.h"

namespace panestow::test {
namespace {

TEST(WinMainWindow, SystemMenuEndsWithTheUndoAndHistoryCommandsGreyedUntilOffered) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  RegisterControlClasses(instance);
  MainWindow::Register(instance);
  MainWindow window;
  window.Create();
  ASSERT_TRUE(window.Handle());
  HMENU menu = GetSystemMenu(window.Handle(), FALSE);
  const int count = GetMenuItemCount(menu);
  ASSERT_GE(count, 3);
  EXPECT_EQ(GetMenuItemID(menu, count - 2), kUndoCommandId);
  EXPECT_EQ(GetMenuItemID(menu, count - 1), kHistoryCommandId);
  MENUITEMINFOA separator = {};
  separator.cbSize = sizeof separator;
  separator.fMask = MIIM_FTYPE;
  ASSERT_TRUE(GetMenuItemInfoA(menu, count - 3, TRUE, &separator));
  EXPECT_TRUE(separator.fType & MFT_SEPARATOR);
  char caption[64] = {};
  GetMenuStringA(menu, kUndoCommandId, caption, sizeof caption, MF_BYCOMMAND);
  EXPECT_STREQ(caption, "直前の復元を取り消す(&U)");

  GetMenuStringA(menu, kHistoryCommandId, caption, sizeof caption, MF_BYCOMMAND);
  EXPECT_STREQ(caption, "履歴から戻す(&H)...");

  auto greyed = [&](unsigned id) { return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0; };
  EXPECT_TRUE(greyed(kUndoCommandId));
  EXPECT_TRUE(greyed(kHistoryCommandId));
  window.SetUndoAvailable(true);
  EXPECT_FALSE(greyed(kUndoCommandId));
  EXPECT_TRUE(greyed(kHistoryCommandId));
  window.SetHistoryAvailable(true);
  EXPECT_FALSE(greyed(kHistoryCommandId));
  window.SetUndoAvailable(false);
  window.SetHistoryAvailable(false);
  EXPECT_TRUE(greyed(kUndoCommandId));
  EXPECT_TRUE(greyed(kHistoryCommandId));
}

}  // namespace
}  // namespace panestow::test
