// panestow-ctl: waits for a window or closes it, for scripts that run the
// program under a display of their own.
//
//   panestow-ctl wait-window CAPTION SECONDS   prints "X Y W H" of the
//                                              window's outer rectangle;
//                                              exit 1 on timeout
//   panestow-ctl close CAPTION                 closes it the ordinary way
//                                              (WM_CLOSE); exit 1 when no
//                                              such window is open
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tests/e2e/Automation_win.h"

namespace automation = panestow::automation;

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: panestow-ctl wait-window CAPTION SECONDS\n"
               "       panestow-ctl close CAPTION\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "wait-window") == 0) {
    const double seconds = std::atof(argv[3]);
    HWND window = automation::WaitTopWindow(0, argv[2], seconds > 0 ? static_cast<DWORD>(seconds * 1000) : 0);
    if (!window) {
      std::fprintf(stderr, "panestow-ctl: no window \"%s\"\n", argv[2]);
      return 1;
    }
    const RECT rc = automation::WindowRect(window);
    std::printf("%ld %ld %ld %ld\n", rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
    return 0;
  }
  if (argc == 3 && std::strcmp(argv[1], "close") == 0) {
    const auto windows = automation::TopWindows(0, nullptr, argv[2], true);
    if (windows.empty()) {
      std::fprintf(stderr, "panestow-ctl: no window \"%s\"\n", argv[2]);
      return 1;
    }
    automation::PostClose(windows.front());
    return 0;
  }
  return Usage();
}
