// panestow-screenshots: brings the two windows and each kind of dialog of
// panestow.exe on the screen in turn, for tools/screenshots. For each
// picture it prints
//   shot NAME X Y W H
// (the window's outer rectangle in screen pixels) and waits for a line on
// its input before it goes on; with its input closed it just goes on.
//
//   panestow-screenshots PANESTOW_EXE
//
// It sets Jw_cad's keys for the pictures, so it runs only in a prefix of
// the test sandbox.
#include <windows.h>

#include <cstdio>
#include <iostream>
#include <string>

#include "layout/LayoutFile.h"
#include "tests/common/Sandbox_win.h"
#include "tests/common/TestFiles.h"
#include "tools/automation/Automation_win.h"
#include "tools/automation/ProgramTexts.h"

namespace automation = panestow::automation;
using namespace panestow::texts;

namespace {

constexpr DWORD kTimeoutMs = 15000;
automation::Process app;

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "panestow-screenshots: %s\n", what.c_str());
  std::exit(1);
}

void SetDword(const std::string& subkey, const char* name, DWORD value) {
  const std::string path = std::string(panestow::kJwCadKeyPath) + "\\" + subkey;
  HKEY key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    Fail("cannot set " + path);
  }
  RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  RegCloseKey(key);
}

// A picture of `window`, and of `also` with it when given (the window's
// open menu).
void Shot(const char* name, HWND window, HWND also = nullptr) {
  if (!window) Fail(std::string("no window for ") + name);
  // Painted in full before the picture is taken.
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  automation::Sync(window);
  RECT rc = automation::WindowRect(window);
  if (also) {
    const RECT more = automation::WindowRect(also);
    UnionRect(&rc, &rc, &more);
  }
  std::printf("shot %s %ld %ld %ld %ld\n", name, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
  std::fflush(stdout);
  std::string reply;
  std::getline(std::cin, reply);
}

// The program's next dialog, once it has its texts.
HWND NextDialog() {
  HWND dialog = automation::WaitDialog(app.Id(), kTimeoutMs, app.Handle());
  if (!dialog) Fail("no dialog came");
  automation::Sync(dialog);
  return dialog;
}

void Answer(HWND dialog, const char* button) {
  if (!automation::ClickDialogButton(dialog, button)) Fail(std::string("no button ") + button);
  if (!automation::WaitUntil([&] { return !IsWindow(dialog); }, kTimeoutMs, app.Handle())) Fail("a dialog stays");
}

void Click(HWND parent, const char* caption) {
  if (!automation::Click(automation::FindChild(parent, "Button", caption))) Fail(std::string("no button ") + caption);
}

void ClickRestore(HWND main, int slot) {
  if (!automation::Click(automation::ButtonAfter(main, kMainSave, static_cast<size_t>(slot)))) {
    Fail("no restore button");
  }
}

void DeleteJwCadKey() {
  RegDeleteTreeA(HKEY_CURRENT_USER, panestow::kJwCadKeyPath);
  RegDeleteKeyA(HKEY_CURRENT_USER, panestow::kJwCadKeyPath);
}

void Walk(const panestow::test::ScratchDir& dir, const std::string& fakecad) {
  const std::string exe = dir / "panestow.exe";
  DeleteJwCadKey();
  SetDword("Dialog", "Left", 120);
  SetDword("ToolBar-Edit", "Shown", 1);
  // Slot 4 cannot be written: its file name is taken by a folder.
  CreateDirectoryA((dir / "panestow.rg4").c_str(), nullptr);
  if (!app.Start(exe, "", dir.path())) Fail("cannot start " + exe);
  HWND main = automation::WaitTopWindow(app.Id(), kMainCaption, kTimeoutMs, app.Handle());
  Shot("main-window", main);

  Click(main, kMainSave);
  HWND dialog = NextDialog();
  Shot("dialog-confirmation", dialog);
  Answer(dialog, kYes);
  HWND save = automation::WaitTopWindow(app.Id(), kSaveCaption, kTimeoutMs, app.Handle());
  Shot("save-window", save);

  Click(save, kSaveButtons[0]);
  dialog = NextDialog();
  Shot("dialog-information", dialog);
  Answer(dialog, kOk);
  Click(save, kSaveButtons[3]);
  dialog = NextDialog();
  Shot("dialog-error", dialog);
  Answer(dialog, kOk);
  Click(save, kSaveWindowClose);
  if (!automation::WaitUntil([&] { return !IsWindowVisible(save); }, kTimeoutMs)) Fail("the save window stays");

  ClickRestore(main, 2);
  dialog = NextDialog();
  Shot("dialog-warning", dialog);
  Answer(dialog, kOk);

  // The error box of an error that left a handler: slot 1's file locked.
  HANDLE lock = CreateFileA((dir / "panestow.rg").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (lock == INVALID_HANDLE_VALUE) Fail("cannot lock slot 1's file");
  ClickRestore(main, 1);
  Answer(NextDialog(), kYes);
  dialog = NextDialog();
  Shot("error-box", dialog);
  Answer(dialog, kOk);
  CloseHandle(lock);

  // The restore's own message, and the status text it leaves.
  ClickRestore(main, 1);
  Answer(NextDialog(), kYes);
  dialog = NextDialog();
  Shot("dialog-information-restore", dialog);
  Answer(dialog, kOk);
  Shot("main-window-restored", main);

  // The system menu, whose last item takes that restore back.
  PostMessageA(main, WM_SYSCOMMAND, SC_KEYMENU, ' ');
  HWND menu = nullptr;
  automation::WaitUntil(
      [&] {
        const auto menus = automation::TopWindows(app.Id(), "#32768", nullptr, true);
        menu = menus.empty() ? nullptr : menus.front();
        return menu != nullptr;
      },
      kTimeoutMs, app.Handle());
  if (!menu) Fail("the system menu did not open");
  Shot("system-menu-undo", main, menu);
  PostMessageA(main, WM_CANCELMODE, 0, 0);
  automation::WaitUntil([&] { return !IsWindowVisible(menu); }, kTimeoutMs, app.Handle());

  // The warning, with a stand-in for Jw_cad running as Jw_win.exe.
  const std::string cad_folder = dir / "jww";
  CreateDirectoryA(cad_folder.c_str(), nullptr);
  const std::string cad = cad_folder + "\\Jw_win.exe";
  if (!CopyFileA(fakecad.c_str(), cad.c_str(), FALSE)) Fail("cannot copy " + fakecad);
  automation::Process jwcad;
  if (!jwcad.Start(cad, "--stay", cad_folder)) Fail("cannot start " + cad);
  const std::string cad_log = cad_folder + "\\Jw_win.log";
  automation::WaitUntil([&] { return GetFileAttributesA(cad_log.c_str()) != INVALID_FILE_ATTRIBUTES; }, kTimeoutMs);
  ClickRestore(main, 1);
  dialog = NextDialog();
  Shot("dialog-jwcad-running", dialog);
  Answer(dialog, kNo);
  TerminateProcess(jwcad.Handle(), 0);
  jwcad.WaitExit(kTimeoutMs);

  // The history window with a few entries: one more restore, and a save
  // over slot 1.
  ClickRestore(main, 1);
  Answer(NextDialog(), kYes);
  Answer(NextDialog(), kOk);
  SetDword("Dialog", "Left", 64);
  Click(main, kMainSave);
  Answer(NextDialog(), kYes);
  save = automation::WaitTopWindow(app.Id(), kSaveCaption, kTimeoutMs, app.Handle());
  Click(save, kSaveButtons[0]);
  Answer(NextDialog(), kOk);
  Click(save, kSaveWindowClose);
  if (!automation::WaitUntil([&] { return !IsWindowVisible(save); }, kTimeoutMs)) Fail("the save window stays");
  PostMessageA(main, WM_SYSCOMMAND, kHistoryCommand, 0);
  HWND history = NextDialog();
  automation::PressKey(history, VK_HOME);
  automation::PressKey(history, VK_DOWN);
  HWND list = automation::FindChild(history, "ListBox", nullptr);
  automation::WaitUntil([&] { return automation::ListSelection(list) == 1; }, kTimeoutMs, app.Handle());
  Shot("history-window", history);
  Click(history, kHistoryPutBack);
  automation::WaitUntil([&] { return automation::Dialogs(app.Id(), true).size() > 1; }, kTimeoutMs, app.Handle());
  dialog = automation::Dialogs(app.Id(), true).front();
  automation::Sync(dialog);
  Shot("dialog-history-put-back", dialog);
  Answer(dialog, kNo);
  automation::PressKey(history, VK_ESCAPE);
  if (!automation::WaitUntil([&] { return !IsWindow(history); }, kTimeoutMs)) Fail("the history window stays");

  Click(main, kMainClose);
  if (!app.WaitExit(kTimeoutMs)) Fail("panestow.exe did not end");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: panestow-screenshots PANESTOW_EXE\n");
    return 2;
  }
  if (!panestow::test::InTestSandbox()) Fail(panestow::test::NotInSandboxMessage());
  panestow::test::ScratchDir dir;
  if (!CopyFileA(argv[1], (dir / "panestow.exe").c_str(), FALSE)) Fail(std::string("cannot copy ") + argv[1]);
  // The stand-in for Jw_cad lies beside panestow.exe in the build.
  std::string fakecad = argv[1];
  fakecad = fakecad.substr(0, fakecad.find_last_of("\\/") + 1) + "fakecad.exe";
  Walk(dir, fakecad);
  DeleteJwCadKey();
  return 0;
}
