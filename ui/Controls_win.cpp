#include "ui/Controls_win.h"

#include <commctrl.h>

#include <map>

namespace panestow {

namespace {

const char kPanelClass[] = "PanestowPanel";

struct PanelData {
  COLORREF color;
  HBRUSH brush;
  int bevel;
  HFONT font;
};

std::map<COLORREF, HBRUSH>& Brushes() {
  static std::map<COLORREF, HBRUSH> brushes;
  return brushes;
}

HBRUSH BrushOf(COLORREF color) {
  HBRUSH& brush = Brushes()[color];
  if (!brush) brush = CreateSolidBrush(color);
  return brush;
}

LRESULT CALLBACK PanelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  PanelData* data = reinterpret_cast<PanelData*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  switch (msg) {
    case WM_NCCREATE: {
      const CREATESTRUCTA* cs = reinterpret_cast<const CREATESTRUCTA*>(lp);
      SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
      break;
    }
    case WM_NCDESTROY:
      delete data;
      SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
      break;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT rc;
      GetClientRect(hwnd, &rc);
      FillRect(dc, &rc, data->brush);
      for (int i = 0; i < data->bevel; ++i) {
        RECT edge = {rc.left + i, rc.top + i, rc.right - i, rc.bottom - i};
        HPEN light = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
        HPEN dark = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
        HGDIOBJ old = SelectObject(dc, light);
        MoveToEx(dc, edge.left, edge.bottom - 1, nullptr);
        LineTo(dc, edge.left, edge.top);
        LineTo(dc, edge.right - 1, edge.top);
        SelectObject(dc, dark);
        LineTo(dc, edge.right - 1, edge.bottom - 1);
        LineTo(dc, edge.left - 1, edge.bottom - 1);
        SelectObject(dc, old);
        DeleteObject(light);
        DeleteObject(dark);
      }
      char caption[256];
      const int len = GetWindowTextA(hwnd, caption, sizeof caption);
      if (len > 0) {
        HGDIOBJ old = SelectObject(dc, data->font);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        DrawTextA(dc, caption, len, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        SelectObject(dc, old);
      }
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_SETTEXT: {
      const LRESULT r = DefWindowProcA(hwnd, msg, wp, lp);
      InvalidateRect(hwnd, nullptr, FALSE);
      return r;
    }
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
      return SendMessageA(GetParent(hwnd), msg, wp, lp);
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

HFONT GothicFont(int height) {
  static std::map<int, HFONT> fonts;
  HFONT& font = fonts[height];
  if (!font) {
    LOGFONTA lf = {};
    lf.lfHeight = -height;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = SHIFTJIS_CHARSET;
    lf.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    lstrcpynA(lf.lfFaceName, "ＭＳ ゴシック", LF_FACESIZE);
    font = CreateFontIndirectA(&lf);
  }
  return font;
}

void RegisterControlClasses(HINSTANCE instance) {
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = PanelProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = kPanelClass;
  RegisterClassExA(&wc);
}

void RegisterWindowClass(HINSTANCE instance, const char* name, WNDPROC proc) {
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(1));
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = GetSysColorBrush(COLOR_BACKGROUND);
  wc.lpszClassName = name;
  RegisterClassExA(&wc);
}

HWND CreatePanel(HWND parent, const Rect& r, COLORREF color, int bevel_width, const char* caption, HFONT font) {
  PanelData* data = new PanelData{color, BrushOf(color), bevel_width, font};
  return CreateWindowExA(WS_EX_CONTROLPARENT, kPanelClass, caption ? caption : "",
                         WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, r.left, r.top, r.width, r.height,
                         parent, nullptr, GetModuleHandleA(nullptr), data);
}

HWND CreateButton(HWND parent, int id, const char* caption, const Rect& r, HFONT font) {
  HWND h = CreateWindowExA(0, "BUTTON", caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, r.left, r.top,
                           r.width, r.height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleA(nullptr), nullptr);
  SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return h;
}

HWND CreateLabel(HWND parent, int id, const char* caption, const Rect& r, HFONT font, bool centred) {
  const DWORD align = centred ? (SS_CENTER | SS_CENTERIMAGE) : SS_LEFT;
  HWND h = CreateWindowExA(0, "STATIC", caption, WS_CHILD | WS_VISIBLE | SS_NOPREFIX | align, r.left, r.top, r.width,
                           r.height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleA(nullptr), nullptr);
  SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return h;
}

HWND CreateEdit(HWND parent, int id, const char* text, const Rect& r, HFONT font) {
  HWND h = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
                           r.left, r.top, r.width, r.height, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
  SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return h;
}

HWND CreateStatusBar(HWND parent, const Rect& r) {
  HWND h = CreateWindowExA(0, STATUSCLASSNAMEA, "",
                           WS_CHILD | WS_VISIBLE | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER, r.left, r.top,
                           r.width, r.height, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
  SendMessageA(h, SB_SIMPLE, TRUE, 0);
  return h;
}

void SetControlColor(HWND control, COLORREF color) {
  SetWindowLongPtrA(control, GWLP_USERDATA, static_cast<LONG_PTR>(color) | (static_cast<LONG_PTR>(1) << 32));
}

LRESULT ControlColors(HDC dc, HWND control) {
  const LONG_PTR data = GetWindowLongPtrA(control, GWLP_USERDATA);
  if ((data >> 32) != 1) return 0;
  const COLORREF color = static_cast<COLORREF>(data & 0xFFFFFFFF);
  SetBkColor(dc, color);
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  return reinterpret_cast<LRESULT>(BrushOf(color));
}

void MoveControl(HWND control, const Rect& r) { MoveWindow(control, r.left, r.top, r.width, r.height, TRUE); }

RECT RestoredRect(HWND window) {
  RECT rc;
  GetWindowRect(window, &rc);
  WINDOWPLACEMENT placement = {};
  placement.length = sizeof placement;
  if (!IsIconic(window) || !GetWindowPlacement(window, &placement)) return rc;
  // The placement is in workspace coordinates: relative to the work area
  // of the primary monitor.
  RECT work = {0, 0, 0, 0};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  rc = placement.rcNormalPosition;
  OffsetRect(&rc, work.left, work.top);
  return rc;
}

SIZE OuterSize(DWORD style, DWORD ex_style, int client_width, int client_height) {
  RECT rc = {0, 0, client_width, client_height};
  AdjustWindowRectEx(&rc, style, FALSE, ex_style);
  return SIZE{rc.right - rc.left, rc.bottom - rc.top};
}

}  // namespace panestow
