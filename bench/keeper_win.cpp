// Runs with a hidden window for the length of a benchmark, so that Wine
// keeps its desktop process between the programs being timed instead of
// ending it after each and starting a new one for the next.
//
//   keeper [HOURS]   ends on WM_CLOSE, or after HOURS (default 2) at most
#include <windows.h>

#include <cstdlib>

namespace {

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_TIMER || msg == WM_CLOSE) {
    DestroyWindow(hwnd);
    return 0;
  }
  if (msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  const int hours = __argc > 1 ? std::atoi(__argv[1]) : 2;
  WNDCLASSA wc = {};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.lpszClassName = "PanestowBenchKeeper";
  RegisterClassA(&wc);
  HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "keeper", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                              instance, nullptr);
  if (!hwnd) return 1;
  SetTimer(hwnd, 1, static_cast<UINT>((hours > 0 ? hours : 2) * 3600u * 1000u), nullptr);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  return 0;
}
