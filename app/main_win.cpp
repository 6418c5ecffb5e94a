// Program entry: the two windows, then the one message loop.
#include <windows.h>

#include "app/startcheck_win.h"
#include "ui/Controls_win.h"
#include "ui/Unit1_win.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  using namespace panestow;
  // Before any file or key is touched: in another code page, or from a
  // folder it cannot name, every name would come out wrong.
  if (!StartCheck()) return 0;
  RegisterControlClasses(instance);
  MainWindow::Register(instance);

  // The main window first: closing it ends the program. The save window
  // stays hidden until the save button runs it.
  MainWindow main_window;
  main_window.Create();

  main_window.ShowFirst(show);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    if (root && IsDialogMessageA(root, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  // Whatever happened during the run, the exit code is 0.
  return 0;
}
