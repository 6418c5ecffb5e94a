// panestow-ctl: starts a program, waits for a window or closes it, for
// scripts that run the program under a display of their own.
//
//   panestow-ctl [--desktop NAME] wait-window CAPTION SECONDS
//       prints "X Y W H" of the window's outer rectangle once the window is
//       shown and its program is idle; exit 1 on timeout
//   panestow-ctl [--desktop NAME] close CAPTION
//       closes the window the ordinary way (WM_CLOSE); exit 1 when no such
//       window is open
//   panestow-ctl run PROGRAM [ARGS...]
//       runs the program, waits for it to end, prints "exit code N" and
//       ends with the same code
//
// --desktop looks for the window on the named desktop (a Wine virtual
// desktop started with "explorer /desktop=NAME,WxH") instead of this
// program's own.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/automation/Automation_win.h"

namespace automation = panestow::automation;

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: panestow-ctl [--desktop NAME] wait-window CAPTION SECONDS\n"
               "       panestow-ctl [--desktop NAME] close CAPTION\n"
               "       panestow-ctl run PROGRAM [ARGS...]\n");
  return 2;
}

std::string Quoted(const char* arg) { return std::string("\"") + arg + "\""; }

int Run(int argc, char** argv) {
  std::string command_line = Quoted(argv[0]);
  for (int i = 1; i < argc; ++i) command_line += " " + Quoted(argv[i]);
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi;
  if (!CreateProcessA(nullptr, &command_line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    std::fprintf(stderr, "panestow-ctl: cannot start %s (error %lu)\n", argv[0], GetLastError());
    return 1;
  }
  WaitForSingleObject(pi.hProcess, INFINITE);
  DWORD code = 1;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  std::printf("exit code %lu\n", code);
  std::fflush(stdout);
  return static_cast<int>(code);
}

}  // namespace

int main(int argc, char** argv) {
  int arg = 1;
  if (argc > arg + 1 && std::strcmp(argv[arg], "--desktop") == 0) {
    HDESK desktop = OpenDesktopA(argv[arg + 1], 0, FALSE, GENERIC_ALL);
    if (!desktop || !SetThreadDesktop(desktop)) {
      std::fprintf(stderr, "panestow-ctl: no desktop \"%s\"\n", argv[arg + 1]);
      return 1;
    }
    arg += 2;
  }
  const int rest = argc - arg;
  if (rest >= 2 && std::strcmp(argv[arg], "run") == 0) return Run(rest - 1, argv + arg + 1);
  if (rest == 3 && std::strcmp(argv[arg], "wait-window") == 0) {
    const char* caption = argv[arg + 1];
    const double seconds = std::atof(argv[arg + 2]);
    const DWORD timeout = seconds > 0 ? static_cast<DWORD>(seconds * 1000) : 0;
    HWND window = automation::WaitTopWindow(0, caption, timeout);
    // Painted: the program has handled what showing the window queued.
    if (!window || !automation::Sync(window, timeout)) {
      std::fprintf(stderr, "panestow-ctl: no window \"%s\"\n", caption);
      return 1;
    }
    const RECT rc = automation::WindowRect(window);
    std::printf("%ld %ld %ld %ld\n", rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
    return 0;
  }
  if (rest == 2 && std::strcmp(argv[arg], "close") == 0) {
    const auto windows = automation::TopWindows(0, nullptr, argv[arg + 1], true);
    if (windows.empty()) {
      std::fprintf(stderr, "panestow-ctl: no window \"%s\"\n", argv[arg + 1]);
      return 1;
    }
    automation::PostClose(windows.front());
    return 0;
  }
  return Usage();
}
