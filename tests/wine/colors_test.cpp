// The windows' fills after a change of the system colours, and the panels
// printed into a DC of their caller's. Under Wine only the process that
// changes the colours sees the change at once, so the real windows are made
// here, in the test's own process, rather than in a panestow.exe of their
// own.
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

// The panel with this caption, at any depth below `window`.
HWND PanelWithCaption(HWND window, const char* caption) {
  struct Search {
    const char* caption;
    HWND found;
  } search{caption, nullptr};
  EnumChildWindows(
      window,
      [](HWND hwnd, LPARAM lp) {
        Search& s = *reinterpret_cast<Search*>(lp);
        char cls[64], text[64];
        GetClassNameA(hwnd, cls, sizeof cls);
        GetWindowTextA(hwnd, text, sizeof text);
        if (lstrcmpA(cls, "PanestowPanel") == 0 && lstrcmpA(text, s.caption) == 0) s.found = hwnd;
        return s.found ? FALSE : TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Themed controls paint their parent's background through WM_PRINTCLIENT
// into a DC of their own: a panel must paint itself into it whole, as it
// does on the screen.
TEST(WinColorsTest, PanelsPaintTheirFillEdgesAndCaptionIntoTheDcTheyAreHanded) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  RegisterControlClasses(instance);
  MainWindow::Register(instance);
  MainWindow main;
  main.Create();
  HWND plate = PanelWithCaption(main.Handle(), "レイアウト");
  ASSERT_TRUE(plate);
  HWND top = GetParent(plate);  // no bevel, no caption, the desktop colour

  const COLORREF kUnpainted = RGB(1, 2, 3);
  const struct {
    const char* what;
    HWND panel;
    COLORREF fill, top_left, bottom_right;
    bool caption;
  } cases[] = {
      {"title plate", plate, kSkyBlue, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW), true},
      {"top panel", top, GetSysColor(COLOR_BACKGROUND), GetSysColor(COLOR_BACKGROUND),
       GetSysColor(COLOR_BACKGROUND), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    RECT rc;
    GetClientRect(c.panel, &rc);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, rc.right, rc.bottom);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    HBRUSH unpainted = CreateSolidBrush(kUnpainted);
    FillRect(dc, &rc, unpainted);
    DeleteObject(unpainted);

    SendMessageA(c.panel, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    EXPECT_EQ(GetPixel(dc, 0, 0), c.top_left);
    EXPECT_EQ(GetPixel(dc, rc.right - 1, rc.bottom - 1), c.bottom_right);
    EXPECT_EQ(GetPixel(dc, 2, 2), c.fill);
    EXPECT_EQ(GetPixel(dc, rc.right - 3, rc.bottom / 2), c.fill);
    // Inside the edges every pixel is the fill, or the caption's.
    int unfilled = 0, other = 0;
    for (int y = 2; y < rc.bottom - 2; ++y) {
      for (int x = 2; x < rc.right - 2; ++x) {
        const COLORREF pixel = GetPixel(dc, x, y);
        if (pixel == kUnpainted) ++unfilled;
        else if (pixel != c.fill) ++other;
      }
    }
    EXPECT_EQ(unfilled, 0);
    EXPECT_EQ(other > 0, c.caption) << other << " pixels of the caption";
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
}

}  // namespace
}  // namespace panestow
