// Small wrappers for the controls the two windows use: panels, buttons,
// labels, filled rectangles, one-line edits and a status bar. Each one is a
// real child window carrying its caption.
#pragma once

#include <windows.h>

namespace panestow {

// Colours of the windows' design.
constexpr COLORREF kSkyBlue = RGB(166, 202, 240);
constexpr COLORREF kMoneyGreen = RGB(192, 220, 192);

// "ＭＳ ゴシック" at a character height in pixels, Shift-JIS character set.
HFONT GothicFont(int height);

struct Rect {
  int left, top, width, height;
};

// Registers the window classes below; once, before any window is made.
void RegisterControlClasses(HINSTANCE instance);

// Registers a top-level window class with the program's icon, served by
// `proc`, with the desktop colour behind its controls.
void RegisterWindowClass(HINSTANCE instance, const char* name, WNDPROC proc);

// The window procedure of a class whose windows are each served by an
// object of type T: the object comes as CreateWindowEx's last argument,
// learns its window at WM_NCCREATE (T::Attach) and handles every message
// from then on (T::Handle).
template <typename T>
LRESULT CALLBACK ObjectWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  T* self = reinterpret_cast<T*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (msg == WM_NCCREATE) {
    self = static_cast<T*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
    self->Attach(hwnd);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  return self ? self->Handle(msg, wp, lp) : DefWindowProcA(hwnd, msg, wp, lp);
}

// A panel: filled with `color`, with an optional raised bevel and a centred
// caption. It passes its children's commands and colour requests on to its
// own parent, so a window handles the controls of its panels itself.
HWND CreatePanel(HWND parent, const Rect& r, COLORREF color, int bevel_width, const char* caption, HFONT font);

HWND CreateButton(HWND parent, int id, const char* caption, const Rect& r, HFONT font);

// A static text; its colours come from the parent's WM_CTLCOLORSTATIC,
// which ControlColors answers.
HWND CreateLabel(HWND parent, int id, const char* caption, const Rect& r, HFONT font, bool centred);

HWND CreateEdit(HWND parent, int id, const char* text, const Rect& r, HFONT font);

HWND CreateStatusBar(HWND parent, const Rect& r);

// Remembers the fill of a label or rectangle made by CreateLabel.
void SetControlColor(HWND control, COLORREF color);

// Answers WM_CTLCOLORSTATIC for a control given a colour by SetControlColor;
// 0 for the others.
LRESULT ControlColors(HDC dc, HWND control);

void MoveControl(HWND control, const Rect& r);

// The window's outer rectangle in screen coordinates; for a minimized
// window the one it will have again when restored, not its icon's.
RECT RestoredRect(HWND window);

// The window's outer size for a client area of the given size.
SIZE OuterSize(DWORD style, DWORD ex_style, int client_width, int client_height);

}  // namespace panestow
