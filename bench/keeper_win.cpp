// Runs with a hidden window for the length of a benchmark, so that Wine
// keeps its desktop process between the programs being timed instead of
// ending it after each and starting a new one for the next.
//
//   keeper [HOURS]   ends on WM_CLOSE, or after HOURS (default 2) at most
#include <windows.h>

#include <cstdlib>

#include "bench/Window_win.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  const int hours = __argc > 1 ? std::atoi(__argv[1]) : 2;
  HWND hwnd = panestow::bench::MakePlainWindow(instance, "PanestowBenchKeeper", "keeper");
  if (!hwnd) return 1;
  SetTimer(hwnd, 1, static_cast<UINT>((hours > 0 ? hours : 2) * 3600u * 1000u), nullptr);
  panestow::bench::RunMessageLoop();
  return 0;
}
