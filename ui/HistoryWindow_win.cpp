#include "ui/HistoryWindow_win.h"

#include <string>
#include <vector>

#include "ui/Controls_win.h"
#include "ui/MessageDialog_win.h"
#include "ui/Unit1.h"

namespace panestow {

namespace {

const char kCaption[] = "Panestow - 履歴";
constexpr int kClientWidth = 372;
constexpr int kClientHeight = 250;
constexpr int kListId = 501;
// Enter and Esc, as the dialog manager sends them, press these two.
constexpr int kPutBackId = IDOK;
constexpr int kCloseId = IDCANCEL;

struct HistoryDialog {
  TForm1* form;
  HWND owner;
  HWND* opened;
  std::vector<HistoryEntry> entries;
};

HWND Make(HWND dlg, const char* cls, const char* text, DWORD style, DWORD ex_style, int id, int x, int y, int w,
          int h) {
  HWND control = CreateWindowExA(ex_style, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, dlg,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr),
                                 nullptr);
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(GothicFont(12)), FALSE);
  return control;
}

// Centred on the owner, then kept on the work area of the owner's monitor.
void Place(HWND dlg, HWND owner) {
  RECT rc = {0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&rc, GetWindowLongA(dlg, GWL_STYLE), FALSE, GetWindowLongA(dlg, GWL_EXSTYLE));
  const int width = rc.right - rc.left;
  const int height = rc.bottom - rc.top;
  RECT around;
  GetWindowRect(owner, &around);
  int left = (around.left + around.right - width) / 2;
  int top = (around.top + around.bottom - height) / 2;
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  if (GetMonitorInfoA(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor)) {
    const RECT& work = monitor.rcWork;
    if (left + width > work.right) left = work.right - width;
    if (top + height > work.bottom) top = work.bottom - height;
    if (left < work.left) left = work.left;
    if (top < work.top) top = work.top;
  }
  SetWindowPos(dlg, HWND_TOP, left, top, width, height, 0);
}

void Fill(HWND dlg, HistoryDialog& d) {
  HWND list = GetDlgItem(dlg, kListId);
  d.entries = d.form->HistoryEntries();
  for (const HistoryEntry& e : d.entries) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(HistoryLine(e).c_str()));
  EnableWindow(GetDlgItem(dlg, kPutBackId), FALSE);
}

void PutBack(HWND dlg, HistoryDialog& d) {
  const LRESULT sel = SendDlgItemMessageA(dlg, kListId, LB_GETCURSEL, 0, 0);
  if (sel == LB_ERR || static_cast<size_t>(sel) >= d.entries.size()) return;
  bool done = true;
  try {
    done = d.form->PutBackFromHistory(d.entries[static_cast<size_t>(sel)]);
  } catch (const std::exception& e) {
    // A damaged entry, refused after its confirmation.
    ShowErrorBox(dlg, e.what());
  }
  if (done) EndDialog(dlg, IDOK);
}

INT_PTR CALLBACK DialogProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  HistoryDialog* d = reinterpret_cast<HistoryDialog*>(GetWindowLongPtrA(dlg, DWLP_USER));
  switch (msg) {
    case WM_INITDIALOG: {
      d = reinterpret_cast<HistoryDialog*>(lp);
      SetWindowLongPtrA(dlg, DWLP_USER, reinterpret_cast<LONG_PTR>(d));
      *d->opened = dlg;
      SetWindowTextA(dlg, kCaption);
      SendMessageA(dlg, WM_SETFONT, reinterpret_cast<WPARAM>(GothicFont(12)), FALSE);
      // In keyboard order: the list, then its two buttons.
      HWND list = Make(dlg, "LISTBOX", "", WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                       WS_EX_CLIENTEDGE, kListId, 8, 8, kClientWidth - 16, kClientHeight - 49);
      Make(dlg, "BUTTON", "戻す(&R)", WS_TABSTOP | BS_DEFPUSHBUTTON, 0, kPutBackId, kClientWidth - 8 - 75 - 6 - 75,
           kClientHeight - 33, 75, 25);
      Make(dlg, "BUTTON", "閉じる(&C)", WS_TABSTOP | BS_PUSHBUTTON, 0, kCloseId, kClientWidth - 8 - 75,
           kClientHeight - 33, 75, 25);
      Fill(dlg, *d);
      Place(dlg, d->owner);
      SetFocus(list);
      return FALSE;  // the focus is set
    }
    case WM_COMMAND:
      switch (LOWORD(wp)) {
        case kListId:
          if (HIWORD(wp) == LBN_SELCHANGE) {
            const bool chosen = SendDlgItemMessageA(dlg, kListId, LB_GETCURSEL, 0, 0) != LB_ERR;
            EnableWindow(GetDlgItem(dlg, kPutBackId), chosen);
          } else if (HIWORD(wp) == LBN_DBLCLK) {
            PutBack(dlg, *d);
          }
          return TRUE;
        case kPutBackId:
          PutBack(dlg, *d);
          return TRUE;
        case kCloseId:
          EndDialog(dlg, IDCANCEL);
          return TRUE;
      }
      return FALSE;
    case WM_CLOSE:
      EndDialog(dlg, IDCANCEL);
      return TRUE;
  }
  return FALSE;
}

}  // namespace

void ShowHistoryWindow(HWND owner, TForm1& form, HWND* opened) {
  HistoryDialog d{&form, owner, opened, {}};
  RunDialog(owner, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, DialogProc, reinterpret_cast<LPARAM>(&d));
  *opened = nullptr;
}

}  // namespace panestow
