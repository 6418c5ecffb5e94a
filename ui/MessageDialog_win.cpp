#include "ui/MessageDialog_win.h"

#include <algorithm>
#include <vector>

namespace panestow {

namespace {

struct DialogRequest {
  const std::string* text;
  DialogKind kind;
  unsigned buttons;
  HFONT font;
};

constexpr int kMargin = 12;
constexpr int kIconSize = 32;
constexpr int kIconGap = 12;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kButtonGap = 6;
constexpr int kTextId = 100;

LPCSTR IconOf(DialogKind kind) {
  switch (kind) {
    case DialogKind::Warning: return IDI_WARNING;
    case DialogKind::Error: return IDI_ERROR;
    case DialogKind::Information: return IDI_INFORMATION;
    case DialogKind::Confirmation: return IDI_QUESTION;
  }
  return IDI_INFORMATION;
}

HFONT MessageFont() {
  static HFONT font = [] {
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    return CreateFontIndirectA(&metrics.lfMessageFont);
  }();
  return font;
}

void Layout(HWND dlg, const DialogRequest& request) {
  HDC dc = GetDC(dlg);
  HGDIOBJ old = SelectObject(dc, request.font);
  RECT text_rc = {0, 0, GetSystemMetrics(SM_CXSCREEN) / 2, 0};
  DrawTextA(dc, request.text->c_str(), static_cast<int>(request.text->size()), &text_rc,
            DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
  SelectObject(dc, old);
  ReleaseDC(dlg, dc);

  struct Button {
    unsigned flag;
    int id;
    const char* caption;
  };
  static const Button kButtons[] = {{kButtonYes, IDYES, "はい(&Y)"}, {kButtonNo, IDNO, "いいえ(&N)"}, {kButtonOk, IDOK, "OK"}};
  std::vector<Button> shown;
  for (const Button& b : kButtons) {
    if (request.buttons & b.flag) shown.push_back(b);
  }
  const int buttons_width = static_cast<int>(shown.size()) * kButtonWidth + (static_cast<int>(shown.size()) - 1) * kButtonGap;
  const int text_width = text_rc.right - text_rc.left;
  const int text_height = std::max<int>(text_rc.bottom - text_rc.top, kIconSize);
  const int client_width = std::max(kMargin + kIconSize + kIconGap + text_width + kMargin, kMargin * 2 + buttons_width);
  const int client_height = kMargin + text_height + kMargin + kButtonHeight + kMargin;

  HINSTANCE instance = GetModuleHandleA(nullptr);
  HWND icon = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_ICON, kMargin, kMargin, kIconSize, kIconSize,
                              dlg, nullptr, instance, nullptr);
  SendMessageA(icon, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconA(nullptr, IconOf(request.kind))), 0);
  HWND text = CreateWindowExA(0, "STATIC", request.text->c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX,
                              kMargin + kIconSize + kIconGap, kMargin, text_width, text_height, dlg,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTextId)), instance, nullptr);
  SendMessageA(text, WM_SETFONT, reinterpret_cast<WPARAM>(request.font), FALSE);

  const int default_id = (request.buttons & kButtonOk) ? IDOK : (request.buttons & kDefaultNo) ? IDNO : IDYES;
  int x = (client_width - buttons_width) / 2;
  const int y = kMargin + text_height + kMargin;
  for (const Button& b : shown) {
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | (b.id == default_id ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
    HWND h = CreateWindowExA(0, "BUTTON", b.caption, style, x, y, kButtonWidth, kButtonHeight, dlg,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(b.id)), instance, nullptr);
    SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(request.font), FALSE);
    x += kButtonWidth + kButtonGap;
  }
  SendMessageA(dlg, DM_SETDEFID, default_id, 0);
  SetFocus(GetDlgItem(dlg, default_id));

  const SIZE outer = [&] {
    RECT rc = {0, 0, client_width, client_height};
    AdjustWindowRectEx(&rc, GetWindowLongA(dlg, GWL_STYLE), FALSE, GetWindowLongA(dlg, GWL_EXSTYLE));
    return SIZE{rc.right - rc.left, rc.bottom - rc.top};
  }();
  // Centred on the monitor of its owner, the primary one without an owner.
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (GetMonitorInfoA(MonitorFromWindow(GetWindow(dlg, GW_OWNER), MONITOR_DEFAULTTOPRIMARY), &monitor)) {
    screen = monitor.rcMonitor;
  }
  const int left = screen.left + (screen.right - screen.left - outer.cx) / 2;
  const int top = screen.top + (screen.bottom - screen.top - outer.cy) / 2;
  SetWindowPos(dlg, HWND_TOP, left, top, outer.cx, outer.cy, 0);
}

INT_PTR CALLBACK DialogProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_INITDIALOG: {
      const DialogRequest* request = reinterpret_cast<const DialogRequest*>(lp);
      SetWindowLongPtrA(dlg, DWLP_USER, static_cast<LONG_PTR>(request->buttons));
      SetWindowTextA(dlg, DialogCaption(request->kind));
      SendMessageA(dlg, WM_SETFONT, reinterpret_cast<WPARAM>(request->font), FALSE);
      Layout(dlg, *request);
      return FALSE;  // the focus is set
    }
    case WM_COMMAND: {
      const unsigned buttons = static_cast<unsigned>(GetWindowLongPtrA(dlg, DWLP_USER));
      const int id = LOWORD(wp);
      if (id == IDCANCEL) {
        // Esc: No where there is one, OK where OK stands alone.
        if (buttons & kButtonNo) EndDialog(dlg, IDNO);
        else if (buttons & kButtonOk) EndDialog(dlg, IDOK);
        return TRUE;
      }
      if (id == IDYES || id == IDNO || id == IDOK) {
        EndDialog(dlg, id);
        return TRUE;
      }
      return FALSE;
    }
    case WM_CLOSE:
      EndDialog(dlg, IDCANCEL);
      return TRUE;
  }
  return FALSE;
}

}  // namespace

INT_PTR RunDialog(HWND owner, DWORD style, DLGPROC proc, LPARAM param) {
  alignas(4) WORD tmpl[16] = {};
  DLGTEMPLATE* t = reinterpret_cast<DLGTEMPLATE*>(tmpl);
  t->style = style;
  t->cdit = 0;
  // Menu, class and title words follow the header and are all zero.
  return DialogBoxIndirectParamA(GetModuleHandleA(nullptr), t, owner, proc, param);
}

DialogResult ShowMessageDialog(HWND owner, const std::string& text, DialogKind kind, unsigned buttons) {
  DialogRequest request{&text, kind, buttons, MessageFont()};
  const INT_PTR r = RunDialog(owner, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFOREGROUND,
                              DialogProc, reinterpret_cast<LPARAM>(&request));
  switch (r) {
    case IDYES: return DialogResult::Yes;
    case IDNO: return DialogResult::No;
    case IDOK: return DialogResult::Ok;
    default: return DialogResult::Cancel;
  }
}

void ShowErrorBox(HWND owner, const std::string& message) {
  MessageBoxA(owner, ErrorBoxText(message).c_str(), kApplicationTitle, MB_OK | MB_ICONSTOP);
}

}  // namespace panestow
