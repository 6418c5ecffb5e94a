// Not a test: brings the two windows and each kind of dialog on the screen
// in turn for tools/screenshots, which runs it. For each picture it prints
//   shot NAME X Y W H
// (the window's outer rectangle in screen pixels) and waits for a line on
// its input before it goes on; with its input closed it just goes on.
#include <windows.h>

#include <cstdio>
#include <iostream>

#include "tests/e2e/E2e.h"

namespace panestow::e2e {
namespace {

using test::WriteFileBytes;

class ScreenshotsTest : public E2eTest {
 protected:
  void Shot(const char* name, HWND window) {
    ASSERT_TRUE(window) << name;
    // Painted in full before the picture is taken.
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    automation::Sync(window);
    const RECT rc = automation::WindowRect(window);
    std::printf("shot %s %ld %ld %ld %ld\n", name, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
    std::fflush(stdout);
    std::string reply;
    std::getline(std::cin, reply);
  }
};

TEST_F(ScreenshotsTest, DISABLED_WindowsAndDialogs) {
  SetJwCadDword("Dialog", "Left", 120);
  SetJwCadDword("ToolBar-Edit", "Shown", 1);
  // Slot 4 cannot be written: its file name is taken by a folder.
  ASSERT_TRUE(CreateDirectoryA(SlotFile(4).c_str(), nullptr));
  Start();
  HWND main = WaitMain();
  Shot("main-window", main);

  automation::Click(Control(main, "Button", kMainSave));
  DialogInfo dialog = ExpectDialog(kConfirmation, kConfirmSave, {kYes, kNo});
  Shot("dialog-confirmation", dialog.hwnd);
  Answer(dialog, kYes);
  HWND save = automation::WaitTopWindow(app_.Id(), kSaveCaption, kTimeoutMs, app_.Handle());
  Shot("save-window", save);

  automation::Click(Control(save, "Button", kSaveButtons[0]));
  dialog = ExpectDialog(kInformation, kSavedInfo, {kOk});
  Shot("dialog-information", dialog.hwnd);
  Answer(dialog, kOk);

  automation::Click(Control(save, "Button", kSaveButtons[3]));
  dialog = ExpectDialog(kError, "Jw_cad画面レイアウトファイルが保存出来ませんでした。", {kOk});
  Shot("dialog-error", dialog.hwnd);
  Answer(dialog, kOk);
  automation::Click(Control(save, "Button", kSaveWindowClose));
  ASSERT_TRUE(automation::WaitUntil([&] { return !IsWindowVisible(save); }, kTimeoutMs));

  automation::Click(RestoreButton(main, 2));
  dialog = ExpectDialog(kWarning, NotSavedWarning(2), {kOk});
  Shot("dialog-warning", dialog.hwnd);
  Answer(dialog, kOk);

  // The error box of an error that left a handler: slot 1's file locked.
  HANDLE lock = CreateFileA(SlotFile(1).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  automation::Click(RestoreButton(main, 1));
  Answer(ExpectDialog(kConfirmation, kConfirmRestore, {kYes, kNo}), kYes);
  HWND box = automation::WaitDialog(app_.Id(), kTimeoutMs, app_.Handle());
  Shot("error-box", box);
  automation::ClickDialogButton(box, kOk);
  CloseHandle(lock);

  // The restore's own message, and the status text it leaves.
  automation::Click(RestoreButton(main, 1));
  Answer(ExpectDialog(kConfirmation, kConfirmRestore, {kYes, kNo}), kYes);
  dialog = ExpectDialog(kInformation, kRestoredInfo, {kOk});
  Shot("dialog-information-restore", dialog.hwnd);
  Answer(dialog, kOk);
  Shot("main-window-restored", main);

  CloseByButton(main);
}

}  // namespace
}  // namespace panestow::e2e
