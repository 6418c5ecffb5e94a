#include "ui/Unit1_win.h"

#include <tlhelp32.h>

#include "app/lock_win.h"
#include "app/startcheck_win.h"
#include "registry/RegistryStore_win.h"
#include "registry/WideRegistry_win.h"
#include "ui/Controls_win.h"
#include "ui/HistoryWindow_win.h"
#include "ui/MessageDialog_win.h"

namespace panestow {

namespace {

constexpr int kClientWidth = 204;
// Class, caption, styles, place and client size as the window is built.
constexpr WindowDef kWindow = {"PanestowMainWindow", "Panestow Ver.1.2",
                                WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN,
                                WS_EX_CONTROLPARENT, 194, 109, kClientWidth, 211};

constexpr int kTopPanelHeight = 33;
constexpr int kStatusPanelHeight = 21;
constexpr int kStatusBarWidth = 23;

// The controls in the window's design order, which is also the keyboard
// order (the close button, the save button, the restore buttons). Ids are
// unique in the program and kept clear of IDOK and IDCANCEL, which the
// dialog manager sends for Enter and Esc.
enum Row : size_t {
  kPanel1, kStatusBar1, kPanel2, kButton1, kPanel3, kButtonClose, kLabelStat, kPanel4,
  kButton2, kButton3, kButton4, kButton5,
};
constexpr Fill kDesktop = SystemFill(COLOR_BACKGROUND);
constexpr Fill kFace = SystemFill(COLOR_BTNFACE);

constexpr Control<TForm1> Row(int id, ControlKind kind, int parent, Dock dock, Rect place, const char* caption,
                              int font, Fill fill, void (TForm1::*on_click)() = nullptr, int bevel = 0) {
  return Control<TForm1>{ControlDef{id, kind, parent, dock, place, caption, font, fill, bevel}, on_click};
}

constexpr Rect ToRect(const WindowBounds& b) { return Rect{b.left, b.top, b.width, b.height}; }

// Where a restore button stands as the window is built.
constexpr Rect RestorePlace(int slot) { return ToRect(RestoreButtonBounds(slot, RestoreButtonWidth(kClientWidth))); }

const Control<TForm1> kControls[] = {
    Row(130, ControlKind::Panel, -1, Dock::Bottom, {0, 0, 0, kStatusPanelHeight}, nullptr, 12, kFace),
    Row(131, ControlKind::StatusBar, kPanel1, Dock::Right, {0, 0, kStatusBarWidth, kStatusPanelHeight}, nullptr, 0,
        kFace),
    Row(132, ControlKind::Panel, -1, Dock::Top, {0, 0, 0, kTopPanelHeight}, nullptr, 12, kDesktop),
    Row(101, ControlKind::Button, kPanel2, Dock::None, {104, 4, 57, 25}, "保存", 12, kFace, &TForm1::Button1Click),
    Row(133, ControlKind::Panel, kPanel2, Dock::None, {4, 4, 89, 25}, "レイアウト", 12, FixedFill(kSkyBlue), nullptr, 2),
    Row(110, ControlKind::Button, kPanel1, Dock::None, {1, 1, 20, 20}, "×", 11, kFace, &TForm1::ButtonCloseClick),
    Row(120, ControlKind::StatusLabel, kPanel1, Dock::None, {26, 4, 0, 0}, "", 13, kFace),
    Row(134, ControlKind::Panel, -1, Dock::Fill, {0, 0, 0, 0}, nullptr, 12, kDesktop),
    Row(102, ControlKind::Button, kPanel4, Dock::None, RestorePlace(1), "レイアウトを戻す", 12, kFace,
        &TForm1::Button2Click),
    Row(103, ControlKind::Button, kPanel4, Dock::None, RestorePlace(2), "レイアウトを戻す", 12, kFace,
        &TForm1::Button3Click),
    Row(104, ControlKind::Button, kPanel4, Dock::None, RestorePlace(3), "レイアウトを戻す", 12, kFace,
        &TForm1::Button4Click),
    Row(105, ControlKind::Button, kPanel4, Dock::None, RestorePlace(4), "レイアウトを戻す", 12, kFace,
        &TForm1::Button5Click),
};

}  // namespace

// The save window's form keeps a reference to the main window's, which is
// made next.
MainWindow::MainWindow() : save_window_(Form()), form_(*this, save_window_.Form()), controls_(kControls) {}

MainWindow::~MainWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
}

void MainWindow::Register(HINSTANCE instance) {
  RegisterWindowClass(instance, kWindow, ObjectWindowProc<MainWindow>);
  SaveWindow::Register(instance);
}

void MainWindow::Create() {
  CreateTopWindow(kWindow, nullptr, this);
  save_window_.Create(hwnd_);
}

HWND MainWindow::RestoreButton(int slot) const { return controls_[kButton2 + static_cast<size_t>(slot - 1)]; }

// The panels follow their docking; the restore buttons, the width rule.
void MainWindow::LayOut() {
  if (!controls_.Created()) return;
  controls_.LayOut(hwnd_);
  form_.FormResize();
}

void MainWindow::ShowFirst(int show) {
  Guarded(hwnd_, [&] { form_.FormShow(); });
  if (!hwnd_) return;
  // Its place may be on a monitor that is no longer there.
  KeepOnScreen(hwnd_);
  focus_.Set(controls_[kButtonClose]);
  // As the program was started: a shortcut may run it minimized.
  ShowWindow(hwnd_, show);
  UpdateWindow(hwnd_);
  // Shown without activation, or minimized, the window is given the focus
  // when it is next activated; setting it now would activate it.
  if (GetActiveWindow() == hwnd_ && !IsIconic(hwnd_)) SetFocus(controls_[kButtonClose]);
}

// Whole, however long: the start-up check made sure it can be had.
std::string MainWindow::ModuleFileName() { return ExecutablePath(); }

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
  if (!controls_.Created()) return;
  for (int slot = 1; slot <= 4; ++slot) MoveControl(RestoreButton(slot), ToRect(RestoreButtonBounds(slot, width)));
}

void MainWindow::SetRestoreCaption(int slot, const std::string& text) {
  SetWindowTextA(RestoreButton(slot), text.c_str());
}

void MainWindow::SetStatusText(const std::string& text) {
  // The label sizes itself to its text.
  HWND label = controls_[kLabelStat];
  HDC dc = GetDC(label);
  HGDIOBJ old = SelectObject(dc, GothicFont(13));
  SIZE size = {0, 0};
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(label, dc);
  SetWindowTextA(label, text.c_str());
  SetWindowPos(label, nullptr, 26, 4, size.cx, size.cy > 0 ? size.cy : 13, SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::Close() { SendMessageA(hwnd_, WM_CLOSE, 0, 0); }

void MainWindow::ShowSaveWindowModal() { save_window_.ShowModal(); }

DialogResult MainWindow::ShowMessage(const std::string& text, DialogKind kind, unsigned buttons) {
  return ShowMessageDialog(history_window_ ? history_window_ : hwnd_, text, kind, buttons);
}

void MainWindow::Beep(uint32_t type) { MessageBeep(type); }

RegistryStorePtr MainWindow::NewRegistryStore() { return NewWinRegistryStore(); }

WideRegistryPtr MainWindow::NewWideRegistry() { return NewWinWideRegistry(); }

std::vector<std::string> MainWindow::RunningPrograms() {
  std::vector<std::string> names;
  // Only this session's: a Jw_cad of another user logged on to the same PC
  // writes that user's keys, not these. A process whose session cannot be
  // read does not count.
  DWORD session = 0;
  if (!ProcessIdToSessionId(GetCurrentProcessId(), &session)) return names;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return names;
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    DWORD its_session = 0;
    if (ProcessIdToSessionId(entry.th32ProcessID, &its_session) && its_session == session) {
      names.emplace_back(entry.szExeFile);
    }
  }
  CloseHandle(snapshot);
  return names;
}

void MainWindow::SetUndoAvailable(bool available) {
  EnableMenuItem(GetSystemMenu(hwnd_, FALSE), kUndoCommandId, MF_BYCOMMAND | (available ? MF_ENABLED : MF_GRAYED));
}

void MainWindow::SetHistoryAvailable(bool available) {
  EnableMenuItem(GetSystemMenu(hwnd_, FALSE), kHistoryCommandId,
                 MF_BYCOMMAND | (available ? MF_ENABLED : MF_GRAYED));
}

void MainWindow::ShowHistoryWindowModal() { ShowHistoryWindow(hwnd_, form_, &history_window_); }

ChangeLockPtr MainWindow::LockChanges() { return panestow::LockChanges(); }

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

LRESULT MainWindow::Handle(UINT msg, WPARAM wp, LPARAM lp) {
  HWND hwnd = hwnd_;
  LRESULT result;
  if (AnswerCommonMessage(hwnd, focus_, msg, wp, lp, result)) return result;
  switch (msg) {
    case WM_CREATE: {
      controls_.Create(hwnd);
      LayOut();
      // The undo and history commands, after a separator, greyed out until
      // FormShow knows whether there is an undo file and a history.
      HMENU menu = GetSystemMenu(hwnd, FALSE);
      AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
      AppendMenuA(menu, MF_STRING | MF_GRAYED, kUndoCommandId, kUndoCommandCaption);
      AppendMenuA(menu, MF_STRING | MF_GRAYED, kHistoryCommandId, kHistoryCommandCaption);
      return 0;
    }
    case WM_INITMENUPOPUP:
      // The undo file and the history may have changed since.
      if (HIWORD(lp)) {
        SetUndoAvailable(form_.UndoAvailable());
        SetHistoryAvailable(form_.HistoryAvailable());
      }
      break;
    case WM_SYSCOMMAND:
      if ((wp & 0xFFF0) == kUndoCommandId) {
        Guarded(hwnd, [&] { form_.MenuUndoClick(); });
        return 0;
      }
      if ((wp & 0xFFF0) == kHistoryCommandId) {
        Guarded(hwnd, [&] { form_.MenuHistoryClick(); });
        return 0;
      }
      break;
    case WM_SIZE:
      LayOut();
      return 0;
    case WM_COMMAND:
      if (HIWORD(wp) == BN_CLICKED) Guarded(hwnd, [&] { controls_.Click(form_, LOWORD(wp)); });
      return 0;
    case WM_CLOSE:
      Guarded(hwnd, [&] { form_.FormClose(); });
      DestroyWindow(hwnd);
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      // At log-off or shut-down the system ends the program without a
      // close: the settings are written now, as the close writes them.
      if (wp) Guarded(hwnd, [&] { form_.FormClose(); });
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
