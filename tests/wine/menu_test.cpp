// The main window's system menu, in the program's own process: the undo
// command after a separator, greyed out until it is offered.
#include <windows.h>

#include <gtest/gtest.h>

#include "ui/Controls_win.h"
#include "ui/Unit1_win.h"

namespace panestow::test {
namespace {

TEST(WinMainWindow, SystemMenuEndsWithTheUndoCommandGreyedUntilOffered) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  RegisterControlClasses(instance);
  MainWindow::Register(instance);
  MainWindow window;
  window.Create();
  ASSERT_TRUE(window.Handle());
  HMENU menu = GetSystemMenu(window.Handle(), FALSE);
  const int count = GetMenuItemCount(menu);
  ASSERT_GE(count, 2);
  EXPECT_EQ(GetMenuItemID(menu, count - 1), kUndoCommandId);
  MENUITEMINFOA separator = {};
  separator.cbSize = sizeof separator;
  separator.fMask = MIIM_FTYPE;
  ASSERT_TRUE(GetMenuItemInfoA(menu, count - 2, TRUE, &separator));
  EXPECT_TRUE(separator.fType & MFT_SEPARATOR);
  char caption[64] = {};
  GetMenuStringA(menu, kUndoCommandId, caption, sizeof caption, MF_BYCOMMAND);
  EXPECT_STREQ(caption, "直前の復元を取り消す(&U)");

  auto greyed = [&] { return (GetMenuState(menu, kUndoCommandId, MF_BYCOMMAND) & MF_GRAYED) != 0; };
  EXPECT_TRUE(greyed());
  window.SetUndoAvailable(true);
  EXPECT_FALSE(greyed());
  window.SetUndoAvailable(false);
  EXPECT_TRUE(greyed());
}

}  // namespace
}  // namespace panestow::test
