#include "ui/Controls_win.h"

#include <commctrl.h>

#include <map>

#include "ui/OnScreen.h"

namespace panestow {

namespace {

const char kPanelClass[] = "PanestowPanel";

struct PanelData {
  Fill fill;
  int bevel;
  HFONT font;
};

HMENU IdOf(int id) { return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)); }

void DrawBevel(HDC dc, const RECT& rc, int width) {
  HPEN light = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
  HPEN dark = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
  for (int i = 0; i < width; ++i) {
    const RECT edge = {rc.left + i, rc.top + i, rc.right - i, rc.bottom - i};
    HGDIOBJ old = SelectObject(dc, light);
    MoveToEx(dc, edge.left, edge.bottom - 1, nullptr);
    LineTo(dc, edge.left, edge.top);
    LineTo(dc, edge.right - 1, edge.top);
    SelectObject(dc, dark);
    LineTo(dc, edge.right - 1, edge.bottom - 1);
    LineTo(dc, edge.left - 1, edge.bottom - 1);
    SelectObject(dc, old);
  }
  DeleteObject(light);
  DeleteObject(dark);
}

// The panel's fill, bevel and centred caption, into the window's own DC
// or one it was handed to print into.
void PaintPanel(HWND hwnd, HDC dc, const PanelData& data) {
  RECT rc;
  GetClientRect(hwnd, &rc);
  FillRect(dc, &rc, BrushOf(data.fill));
  DrawBevel(dc, rc, data.bevel);
  char caption[256];
  const int len = GetWindowTextA(hwnd, caption, sizeof caption);
  if (len > 0) {
    HGDIOBJ old = SelectObject(dc, data.font);
    const int old_mode = SetBkMode(dc, TRANSPARENT);
    const COLORREF old_color = SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    DrawTextA(dc, caption, len, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SetTextColor(dc, old_color);
    SetBkMode(dc, old_mode);
    SelectObject(dc, old);
  }
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
      PaintPanel(hwnd, dc, *data);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_PRINTCLIENT:
      // Themed buttons and the status bar draw their parent's background
      // through this message before their own.
      PaintPanel(hwnd, reinterpret_cast<HDC>(wp), *data);
      return 0;
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
      // A window handles the controls of its panels itself.
      return SendMessageA(GetParent(hwnd), msg, wp, lp);
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

HWND MakeChild(DWORD ex_style, const char* cls, const ControlDef& def, DWORD style, HWND parent, void* param) {
  HWND h = CreateWindowExA(ex_style, cls, def.caption ? def.caption : "", WS_CHILD | WS_VISIBLE | style,
                           def.place.left, def.place.top, def.place.width, def.place.height, parent,
                           IdOf(def.id), GetModuleHandleA(nullptr), param);
  if (def.font_height) SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(GothicFont(def.font_height)), FALSE);
  return h;
}

// A label's or shape's fill, kept in the control's user data: bit 32 says
// it has one, bit 33 that it is a system colour.
void SetControlFill(HWND control, Fill fill) {
  const LONG_PTR data = static_cast<LONG_PTR>(fill.value) | (static_cast<LONG_PTR>(1) << 32) |
                        (static_cast<LONG_PTR>(fill.system ? 1 : 0) << 33);
  SetWindowLongPtrA(control, GWLP_USERDATA, data);
}

// Answers WM_CTLCOLORSTATIC for a label or shape of a table; 0 for other
// controls.
LRESULT ControlColors(HDC dc, HWND control) {
  const LONG_PTR data = GetWindowLongPtrA(control, GWLP_USERDATA);
  if (((data >> 32) & 1) != 1) return 0;
  const Fill fill{((data >> 33) & 1) != 0, static_cast<COLORREF>(data & 0xFFFFFFFF)};
  SetBkColor(dc, ColorOf(fill));
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  return reinterpret_cast<LRESULT>(BrushOf(fill));
}

BOOL CALLBACK TellSystemColorChange(HWND child, LPARAM) {
  SendMessageA(child, WM_SYSCOLORCHANGE, 0, 0);
  return TRUE;
}

}  // namespace

COLORREF ColorOf(Fill fill) { return fill.system ? GetSysColor(static_cast<int>(fill.value)) : fill.value; }

HBRUSH BrushOf(Fill fill) {
  // The system's own brushes follow a change of the system colours.
  if (fill.system) return GetSysColorBrush(static_cast<int>(fill.value));
  static std::map<COLORREF, HBRUSH> brushes;
  HBRUSH& brush = brushes[fill.value];
  if (!brush) brush = CreateSolidBrush(fill.value);
  return brush;
}

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

void RegisterWindowClass(HINSTANCE instance, const WindowDef& def, WNDPROC proc) {
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(1));
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  // The colour's index, not a brush: looked up at each erase, it follows a
  // change of the system colours.
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BACKGROUND + 1));
  wc.lpszClassName = def.class_name;
  RegisterClassExA(&wc);
}

HWND CreateTopWindow(const WindowDef& def, HWND owner, void* self) {
  const SIZE outer = OuterSize(def.style, def.ex_style, def.client_width, def.client_height);
  return CreateWindowExA(def.ex_style, def.class_name, def.caption, def.style, def.left, def.top, outer.cx,
                         outer.cy, owner, nullptr, GetModuleHandleA(nullptr), self);
}

HWND CreateControl(HWND parent, const ControlDef& def) {
  switch (def.kind) {
    case ControlKind::Panel:
      return MakeChild(WS_EX_CONTROLPARENT, kPanelClass, def, WS_CLIPCHILDREN | WS_CLIPSIBLINGS, parent,
                       new PanelData{def.fill, def.bevel, GothicFont(def.font_height)});
    case ControlKind::Button:
      return MakeChild(0, "BUTTON", def, WS_TABSTOP | BS_PUSHBUTTON, parent, nullptr);
    case ControlKind::Edit:
      return MakeChild(WS_EX_CLIENTEDGE, "EDIT", def, WS_TABSTOP | ES_AUTOHSCROLL, parent, nullptr);
    case ControlKind::StatusBar: {
      HWND h = MakeChild(0, STATUSCLASSNAMEA, def, CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER, parent, nullptr);
      SendMessageA(h, SB_SIMPLE, TRUE, 0);
      return h;
    }
    case ControlKind::StatusLabel:
      // Clipped by its siblings, which lie above it: a long text ends at
      // the next control instead of painting over it.
      return MakeChild(0, "STATIC", def, WS_CLIPSIBLINGS | SS_LEFT | SS_NOPREFIX, parent, nullptr);
    case ControlKind::Label:
    case ControlKind::Shape: {
      const DWORD align = def.kind == ControlKind::Label ? (SS_CENTER | SS_CENTERIMAGE) : SS_LEFT;
      HWND h = MakeChild(0, "STATIC", def, SS_NOPREFIX | align, parent, nullptr);
      SetControlFill(h, def.fill);
      return h;
    }
  }
  return nullptr;
}

void LayOutDocked(HWND window, const ControlDef* const* defs, const HWND* controls, size_t count) {
  // Each parent's client area, shrinking as docked controls take their
  // edges. Parents come before their children in a table.
  std::map<HWND, RECT> free_area;
  auto area_of = [&](HWND parent) -> RECT& {
    auto it = free_area.find(parent);
    if (it == free_area.end()) {
      RECT rc;
      GetClientRect(parent, &rc);
      it = free_area.emplace(parent, rc).first;
    }
    return it->second;
  };
  for (Dock pass : {Dock::Top, Dock::Bottom, Dock::Right, Dock::Fill}) {
    for (size_t i = 0; i < count; ++i) {
      const ControlDef& def = *defs[i];
      if (def.dock != pass) continue;
      HWND parent = def.parent < 0 ? window : controls[def.parent];
      RECT& area = area_of(parent);
      RECT r = area;
      switch (pass) {
        case Dock::Top:
          r.bottom = area.top + def.place.height;
          area.top = r.bottom;
          break;
        case Dock::Bottom:
          // Never above what the top ones took.
          r.top = area.bottom - def.place.height > area.top ? area.bottom - def.place.height : area.top;
          r.bottom = r.top + def.place.height;
          area.bottom = r.top;
          break;
        case Dock::Right:
          r.left = area.right - def.place.width;
          area.right = r.left;
          break;
        default:
          break;
      }
      MoveControl(controls[i], Rect{r.left, r.top, r.right - r.left, r.bottom - r.top});
      // A docked panel's children are placed in its new client area.
      free_area.erase(controls[i]);
    }
  }
}

bool FocusKeeper::Handle(HWND window, UINT msg, WPARAM wp) {
  if (msg == WM_ACTIVATE && LOWORD(wp) == WA_INACTIVE) {
    // A focus that already left the window (it went with a disabling)
    // leaves the kept control as it was.
    HWND focus = GetFocus();
    if (focus && IsChild(window, focus)) control_ = focus;
    return false;
  }
  // Activated while minimized, the window keeps the focus itself.
  const bool takes_focus = (msg == WM_ACTIVATE && HIWORD(wp) == 0) || msg == WM_SETFOCUS;
  if (!takes_focus || !control_ || !IsChild(window, control_) || !IsWindowEnabled(control_)) return false;
  SetFocus(control_);
  return true;
}

bool AnswerCommonMessage(HWND window, FocusKeeper& focus, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  result = 0;
  switch (msg) {
    case WM_CTLCOLORSTATIC:
      result = ControlColors(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp));
      return result != 0;
    case WM_ACTIVATE:
    case WM_SETFOCUS:
      return focus.Handle(window, msg, wp);
    case WM_SYSCOLORCHANGE:
      // Common controls learn of it only from their parent.
      EnumChildWindows(window, TellSystemColorChange, 0);
      RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
      return true;
  }
  return false;
}

void MoveControl(HWND control, const Rect& r) { MoveWindow(control, r.left, r.top, r.width, r.height, TRUE); }

RECT RestoredRect(HWND window) {
  RECT rc;
  GetWindowRect(window, &rc);
  WINDOWPLACEMENT placement = {};
  placement.length = sizeof placement;
  if ((!IsIconic(window) && !IsZoomed(window)) || !GetWindowPlacement(window, &placement)) return rc;
  // The placement is in workspace coordinates: those of the screen, moved
  // by how far the work area of the window's own monitor lies inside that
  // monitor (a taskbar at its top or left).
  rc = placement.rcNormalPosition;
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  if (GetMonitorInfoA(MonitorFromRect(&rc, MONITOR_DEFAULTTONEAREST), &monitor)) {
    OffsetRect(&rc, monitor.rcWork.left - monitor.rcMonitor.left, monitor.rcWork.top - monitor.rcMonitor.top);
  }
  return rc;
}

namespace {

BOOL CALLBACK AddWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM lp) {
  MONITORINFO info = {};
  info.cbSize = sizeof info;
  if (GetMonitorInfoA(monitor, &info)) {
    const RECT& w = info.rcWork;
    reinterpret_cast<std::vector<ScreenRect>*>(lp)->push_back(ScreenRect{w.left, w.top, w.right, w.bottom});
  }
  return TRUE;
}

}  // namespace

void KeepOnScreen(HWND window) {
  if (IsIconic(window)) return;
  std::vector<ScreenRect> work_areas;
  EnumDisplayMonitors(nullptr, nullptr, AddWorkArea, reinterpret_cast<LPARAM>(&work_areas));
  RECT rc;
  GetWindowRect(window, &rc);
  const ScreenRect now{rc.left, rc.top, rc.right, rc.bottom};
  const ScreenRect shown = ReachablePlace(now, work_areas);
  if (shown == now) return;
  SetWindowPos(window, nullptr, shown.left, shown.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

SIZE OuterSize(DWORD style, DWORD ex_style, int client_width, int client_height) {
  RECT rc = {0, 0, client_width, client_height};
  AdjustWindowRectEx(&rc, style, FALSE, ex_style);
  return SIZE{rc.right - rc.left, rc.bottom - rc.top};
}

std::string WindowText(HWND hwnd) {
  const int len = GetWindowTextLengthA(hwnd);
  std::string text(static_cast<size_t>(len) + 1, '\0');
  const int got = GetWindowTextA(hwnd, &text[0], len + 1);
  text.resize(static_cast<size_t>(got > 0 ? got : 0));
  return text;
}

}  // namespace panestow
