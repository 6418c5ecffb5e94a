// The windows' fills after a change of the system colours. Under Wine only
// the process that changes them sees the change at once, so the real
// windows are made here, in the test's own process, rather than in a
// panestow.exe of their own.
#include <windows.h>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "ui/Controls_win.h"
#include "ui/Unit1_win.h"

namespace panestow {
namespace {

// The window's pixel at a point of its client area, children included.
COLORREF PixelAt(HWND window, POINT p) {
  HDC dc = GetDCEx(window, nullptr, DCX_CACHE);
  const COLORREF color = GetPixel(dc, p.x, p.y);
  ReleaseDC(window, dc);
  return color;
}

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

HWND SaveWindowOf(DWORD thread) {
  HWND found = nullptr;
  EnumThreadWindows(
      thread,
      [](HWND hwnd, LPARAM lp) {
        char cls[64];
        GetClassNameA(hwnd, cls, sizeof cls);
        if (lstrcmpA(cls, "PanestowSaveWindow") == 0) *reinterpret_cast<HWND*>(lp) = hwnd;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

TEST(WinColorsTest, PanelsAndBackgroundsFollowAChangeOfTheSystemColours) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  RegisterControlClasses(instance);
  MainWindow::Register(instance);
  MainWindow main;
  main.Create();
  HWND save = SaveWindowOf(GetCurrentThreadId());
  ASSERT_TRUE(main.Handle() && save);
  ShowWindow(main.Handle(), SW_SHOWNA);
  ShowWindow(save, SW_SHOWNA);
  UpdateWindow(main.Handle());
  UpdateWindow(save);
  Pump();

  RECT client;
  GetClientRect(main.Handle(), &client);
  // Points on the main window's top panel (between its label and the save
  // button), on its middle panel (left of the restore buttons), on its
  // status panel (right of the close button), and on the save window's
  // background (left of the first title).
  const struct {
    HWND window;
    POINT point;
    int color;
  } cases[] = {
      {main.Handle(), {98, 16}, COLOR_BACKGROUND},
      {main.Handle(), {4, 40}, COLOR_BACKGROUND},
      {main.Handle(), {40, client.bottom - 10}, COLOR_BTNFACE},
      {save, {8, 40}, COLOR_BACKGROUND},
  };
  const int indexes[] = {COLOR_BACKGROUND, COLOR_BTNFACE};
  const COLORREF before[] = {GetSysColor(COLOR_BACKGROUND), GetSysColor(COLOR_BTNFACE)};
  const COLORREF changed[] = {before[0] ^ 0x00FFFFFF, before[1] ^ 0x00FFFFFF};
  auto expected = [&](int color, const COLORREF* set) { return set[color == COLOR_BACKGROUND ? 0 : 1]; };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "before, at " << c.point.x << "," << c.point.y);
    EXPECT_EQ(PixelAt(c.window, c.point), expected(c.color, before));
  }

  ASSERT_TRUE(SetSysColors(2, indexes, changed));
  Pump();
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "after, at " << c.point.x << "," << c.point.y);
    EXPECT_EQ(PixelAt(c.window, c.point), expected(c.color, changed));
  }
  SetSysColors(2, indexes, before);
  Pump();
}

}  // namespace
}  // namespace panestow
