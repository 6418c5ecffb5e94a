#include "ui/Unit1_win.h"

#include "registry/RegistryStore_win.h"
#include "ui/Controls_win.h"
#include "ui/MessageDialog_win.h"
#include "ui/Unit2_win.h"

namespace panestow {

namespace {

const char kClassName[] = "PanestowMainWindow";
const char kCaption[] = "Panestow Ver.1.2";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT;
constexpr int kClientWidth = 204;
constexpr int kClientHeight = 211;

// Control ids, kept clear of IDOK and IDCANCEL, which the dialog manager
// sends for Enter and Esc.
constexpr int kButton1Id = 101;   // save
constexpr int kRestoreId = 101;   // restore buttons 102-105 (Button2-Button5)
constexpr int kButtonCloseId = 110;
constexpr int kLabelStatId = 120;

constexpr int kTopPanelHeight = 33;
constexpr int kStatusPanelHeight = 21;
constexpr int kStatusBarWidth = 23;

COLORREF DesktopColor() { return GetSysColor(COLOR_BACKGROUND); }

}  // namespace

MainWindow::MainWindow(SaveWindow& save_window) : save_window_(save_window), form_(*this, save_window.Form()) {
  save_window.Form().SetMainWindow(form_);
}

MainWindow::~MainWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
}

void MainWindow::Register(HINSTANCE instance) {
  RegisterWindowClass(instance, kClassName, ObjectWindowProc<MainWindow>);
}

void MainWindow::Create() {
  const SIZE outer = OuterSize(kStyle, kExStyle, kClientWidth, kClientHeight);
  CreateWindowExA(kExStyle, kClassName, kCaption, kStyle, 194, 109, outer.cx, outer.cy, nullptr, nullptr,
                  GetModuleHandleA(nullptr), this);
}

void MainWindow::CreateControls() {
  HFONT font = GothicFont(12);
  RECT rc;
  GetClientRect(hwnd_, &rc);
  // In the order of the window's design, which is also the keyboard order:
  // the close button, the save button, the restore buttons.
  panel1_ = CreatePanel(hwnd_, Rect{0, 0, 0, 0}, GetSysColor(COLOR_BTNFACE), 0, nullptr, font);
  status_bar_ = CreateStatusBar(panel1_, Rect{0, 0, kStatusBarWidth, kStatusPanelHeight});
  panel2_ = CreatePanel(hwnd_, Rect{0, 0, 0, 0}, DesktopColor(), 0, nullptr, font);
  button1_ = CreateButton(panel2_, kButton1Id, "保存", Rect{104, 4, 57, 25}, font);
  panel3_ = CreatePanel(panel2_, Rect{4, 4, 89, 25}, kSkyBlue, 2, "レイアウト", font);
  button_close_ = CreateButton(panel1_, kButtonCloseId, "×", Rect{1, 1, 20, 20}, GothicFont(11));
  // Clipped by the status bar, which lies above it: a long status text
  // ends at the bar instead of painting over it.
  label_stat_ = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SS_LEFT | SS_NOPREFIX, 26,
                                4, 0, 0, panel1_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kLabelStatId)),
                                GetModuleHandleA(nullptr), nullptr);
  SendMessageA(label_stat_, WM_SETFONT, reinterpret_cast<WPARAM>(GothicFont(13)), FALSE);
  panel4_ = CreatePanel(hwnd_, Rect{0, 0, 0, 0}, DesktopColor(), 0, nullptr, font);
  for (int k = 0; k < 4; ++k) {
    restore_buttons_[k] = CreateButton(panel4_, kRestoreId + k + 1, "レイアウトを戻す",
                                       Rect{16, 40 * k, restore_width_, 33}, font);
  }
  LayOut();
}

// Docking: the top panel and the status line keep their heights across the
// client area; the restore panel fills what is left.
void MainWindow::LayOut() {
  if (!panel4_) return;
  RECT rc;
  GetClientRect(hwnd_, &rc);
  const int w = rc.right;
  const int h = rc.bottom;
  MoveControl(panel2_, Rect{0, 0, w, kTopPanelHeight});
  const int status_top = h - kStatusPanelHeight > kTopPanelHeight ? h - kStatusPanelHeight : kTopPanelHeight;
  MoveControl(panel1_, Rect{0, status_top, w, kStatusPanelHeight});
  MoveControl(status_bar_, Rect{w - kStatusBarWidth, 0, kStatusBarWidth, kStatusPanelHeight});
  MoveControl(panel4_, Rect{0, kTopPanelHeight, w, status_top - kTopPanelHeight});
  form_.FormResize();
}

void MainWindow::ShowFirst() {
  Guarded(hwnd_, [&] { form_.FormShow(); });
  if (!hwnd_) return;
  ShowWindow(hwnd_, SW_SHOW);
  UpdateWindow(hwnd_);
  SetFocus(button_close_);
}

std::string MainWindow::ModuleFileName() {
  char path[MAX_PATH + 1] = {};
  const DWORD len = GetModuleFileNameA(nullptr, path, MAX_PATH);
  return std::string(path, len < MAX_PATH ? len : MAX_PATH);
}

std::string MainWindow::CommandLine() {
  const char* line = GetCommandLineA();
  return line ? line : "";
}

WindowBounds MainWindow::Bounds() {
  const RECT rc = RestoredRect(hwnd_);
  return WindowBounds{rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top};
}

void MainWindow::SetLeft(int32_t left) {
  const WindowBounds b = Bounds();
  SetWindowPos(hwnd_, nullptr, left, b.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::SetTop(int32_t top) {
  const WindowBounds b = Bounds();
  SetWindowPos(hwnd_, nullptr, b.left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::SetWidth(int32_t width) {
  const WindowBounds b = Bounds();
  SetWindowPos(hwnd_, nullptr, 0, 0, width, b.height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::SetHeight(int32_t height) {
  const WindowBounds b = Bounds();
  SetWindowPos(hwnd_, nullptr, 0, 0, b.width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int32_t MainWindow::ClientWidth() {
  RECT rc;
  GetClientRect(hwnd_, &rc);
  return rc.right;
}

void MainWindow::SetRestoreButtonWidth(int32_t width) {
  restore_width_ = width;
  for (int k = 0; k < 4; ++k) {
    if (restore_buttons_[k]) MoveControl(restore_buttons_[k], Rect{16, 40 * k, width, 33});
  }
}

void MainWindow::SetRestoreCaption(int slot, const std::string& text) {
  SetWindowTextA(restore_buttons_[slot - 1], text.c_str());
}

void MainWindow::SetStatusText(const std::string& text) {
  // The label sizes itself to its text.
  HDC dc = GetDC(label_stat_);
  HGDIOBJ old = SelectObject(dc, GothicFont(13));
  SIZE size = {0, 0};
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(label_stat_, dc);
  SetWindowTextA(label_stat_, text.c_str());
  SetWindowPos(label_stat_, nullptr, 26, 4, size.cx, size.cy > 0 ? size.cy : 13, SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::Close() { SendMessageA(hwnd_, WM_CLOSE, 0, 0); }

void MainWindow::ShowSaveWindowModal() { save_window_.ShowModal(); }

DialogResult MainWindow::ShowMessage(const std::string& text, DialogKind kind, unsigned buttons) {
  return ShowMessageDialog(hwnd_, text, kind, buttons);
}

void MainWindow::Beep(uint32_t type) { MessageBeep(type); }

RegistryStorePtr MainWindow::NewRegistryStore() { return NewWinRegistryStore(); }

void MainWindow::ShellExec(const std::string& verb, const std::string& file, const std::string& parameters,
                              const std::string& directory, int show) {
  // shell32 is loaded only for the launch: it is large, and most runs never
  // launch anything.
  using ShellExecuteFn = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
  HMODULE shell = LoadLibraryA("shell32.dll");
  auto shell_execute =
      shell ? reinterpret_cast<ShellExecuteFn>(reinterpret_cast<void*>(GetProcAddress(shell, "ShellExecuteA")))
            : nullptr;
  if (shell_execute) shell_execute(hwnd_, verb.c_str(), file.c_str(), parameters.c_str(), directory.c_str(), show);
}

void MainWindow::OnCommand(int id) {
  Guarded(hwnd_, [&] {
    switch (id) {
      case kButton1Id: form_.Button1Click(); break;
      case kRestoreId + 1: form_.Button2Click(); break;
      case kRestoreId + 2: form_.Button3Click(); break;
      case kRestoreId + 3: form_.Button4Click(); break;
      case kRestoreId + 4: form_.Button5Click(); break;
      case kButtonCloseId: form_.ButtonCloseClick(); break;
    }
  });
}

LRESULT MainWindow::Handle(UINT msg, WPARAM wp, LPARAM lp) {
  HWND hwnd = hwnd_;
  switch (msg) {
    case WM_CREATE:
      CreateControls();
      return 0;
    case WM_SIZE:
      LayOut();
      return 0;
    case WM_COMMAND:
      if (HIWORD(wp) == BN_CLICKED) OnCommand(LOWORD(wp));
      return 0;
    case WM_CTLCOLORSTATIC:
      if (LRESULT brush = ControlColors(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp))) return brush;
      break;
    case WM_CLOSE:
      Guarded(hwnd, [&] { form_.FormClose(); });
      DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      hwnd_ = nullptr;
      break;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace panestow
