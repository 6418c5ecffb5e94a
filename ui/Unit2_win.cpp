#include "ui/Unit2_win.h"

#include "app/lock_win.h"
#include "registry/RegistryStore_win.h"
#include "ui/Controls_win.h"
#include "ui/MessageDialog_win.h"
#include "ui/TitleLimit.h"

namespace panestow {

namespace {

// Class, caption, styles, place and client size as the window is built.
constexpr WindowDef kWindow = {"PanestowSaveWindow", "Panestow - 保存",
                                WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN,
                                WS_EX_CONTROLPARENT, 193, 109, 385, 263};
constexpr int kTitleLimit = 128;

const char* const kDefaultTitles[4] = {"【設定１】でレイアウトを戻す", "【設定２】でレイアウトを戻す",
                                       "【設定３】でレイアウトを戻す", "【設定４】でレイアウトを戻す"};

// The controls in the window's design order, which is also the keyboard
// order: per slot its label, bar, title label, title edit (ids 201-204)
// and save button (211-214); then the close button. Ids are unique in the
// program.
constexpr Fill kSky = FixedFill(kSkyBlue);
constexpr Fill kGreen = FixedFill(kMoneyGreen);
constexpr Fill kNoFill = SystemFill(COLOR_BTNFACE);

constexpr Control<TForm2> Row(int id, ControlKind kind, Rect place, const char* caption, Fill fill = kNoFill,
                              void (TForm2::*on_click)() = nullptr) {
  return Control<TForm2>{ControlDef{id, kind, -1, Dock::None, place, caption, 13, fill, 0}, on_click};
}

const Control<TForm2> kControls[] = {
    Row(301, ControlKind::Label, {4, 4, 53, 21}, "設定１", kSky),
    Row(401, ControlKind::Shape, {56, 16, 321, 9}, "", kSky),
    Row(302, ControlKind::Label, {16, 32, 73, 21}, "タイトル", kGreen),
    Row(201, ControlKind::Edit, {88, 32, 217, 21}, kDefaultTitles[0]),
    Row(211, ControlKind::Button, {312, 32, 65, 25}, "保存(&1)", kNoFill, &TForm2::Button1Click),
    Row(303, ControlKind::Label, {4, 60, 53, 21}, "設定２", kSky),
    Row(402, ControlKind::Shape, {56, 72, 321, 9}, "", kSky),
    Row(304, ControlKind::Label, {16, 88, 73, 21}, "タイトル", kGreen),
    Row(202, ControlKind::Edit, {88, 88, 217, 21}, kDefaultTitles[1]),
    Row(212, ControlKind::Button, {312, 88, 65, 25}, "保存(&2)", kNoFill, &TForm2::Button2Click),
    Row(305, ControlKind::Label, {4, 116, 53, 21}, "設定３", kSky),
    Row(403, ControlKind::Shape, {56, 128, 321, 9}, "", kSky),
    Row(306, ControlKind::Label, {16, 144, 73, 21}, "タイトル", kGreen),
    Row(203, ControlKind::Edit, {88, 144, 217, 21}, kDefaultTitles[2]),
    Row(213, ControlKind::Button, {312, 144, 65, 25}, "保存(&3)", kNoFill, &TForm2::Button3Click),
    Row(307, ControlKind::Label, {4, 172, 53, 21}, "設定４", kSky),
    Row(404, ControlKind::Shape, {56, 184, 321, 9}, "", kSky),
    Row(308, ControlKind::Label, {16, 200, 73, 21}, "タイトル", kGreen),
    Row(204, ControlKind::Edit, {88, 200, 217, 21}, kDefaultTitles[3]),
    Row(214, ControlKind::Button, {312, 200, 65, 25}, "保存(&4)", kNoFill, &TForm2::Button4Click),
    Row(215, ControlKind::Button, {88, 232, 209, 25}, "閉じる(&C)", kNoFill, &TForm2::Button5Click),
};

// Row and id of the title edit of a slot.
constexpr size_t EditRow(int slot) { return 5 * static_cast<size_t>(slot - 1) + 3; }
constexpr int kEdit1Id = 201;

}  // namespace

SaveWindow::SaveWindow(const TForm1& main_form) : form_(*this, main_form), controls_(kControls) {
  for (int k = 0; k < 4; ++k) titles_[k] = kDefaultTitles[k];
}

SaveWindow::~SaveWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
}

void SaveWindow::Register(HINSTANCE instance) {
  RegisterWindowClass(instance, kWindow, ObjectWindowProc<SaveWindow>);
}

void SaveWindow::Create(HWND owner) {
  owner_ = owner;
  CreateTopWindow(kWindow, owner, this);
}

HWND SaveWindow::TitleEdit(int slot) const { return controls_.Created() ? controls_[EditRow(slot)] : nullptr; }

void SaveWindow::CreateControls() {
  controls_.Create(hwnd_);
  for (int slot = 1; slot <= 4; ++slot) {
    SetWindowTextA(TitleEdit(slot), titles_[slot - 1].c_str());
    SendMessageA(TitleEdit(slot), EM_LIMITTEXT, kTitleLimit, 0);
  }
}

void SaveWindow::ShowModal() {
  // The controls are made when the window is first shown: a run that only
  // restores from the command line never needs them.
  if (!controls_.Created()) CreateControls();
  modal_ = true;
  focus_.Set(TitleEdit(1));
  EnableWindow(owner_, FALSE);
  // Shown as it was last placed, also when it was closed minimized, and
  // on screen.
  ShowWindow(hwnd_, SW_SHOWNORMAL);
  KeepOnScreen(hwnd_);
  SetForegroundWindow(hwnd_);
  SetFocus(TitleEdit(1));
  MSG msg;
  while (modal_) {
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (got < 0) break;
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    if (root && IsDialogMessageA(root, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  modal_ = false;
  // Re-enable the owner before hiding, so the activation goes back to it.
  EnableWindow(owner_, TRUE);
  ShowWindow(hwnd_, SW_HIDE);
  SetActiveWindow(owner_);
}

std::string SaveWindow::Title(int slot) {
  return TitleEdit(slot) ? WindowText(TitleEdit(slot)) : titles_[slot - 1];
}

void SaveWindow::SetTitle(int slot, const std::string& text) {
  titles_[slot - 1] = text;
  if (TitleEdit(slot)) SetWindowTextA(TitleEdit(slot), text.c_str());
}

// A window closed while minimized keeps the place it will come back to.
int32_t SaveWindow::Left() { return RestoredRect(hwnd_).left; }

int32_t SaveWindow::Top() { return RestoredRect(hwnd_).top; }

void SaveWindow::SetLeft(int32_t left) {
  SetWindowPos(hwnd_, nullptr, left, Top(), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SaveWindow::SetTop(int32_t top) {
  SetWindowPos(hwnd_, nullptr, Left(), top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SaveWindow::Close() {
  modal_ = false;
  // Wakes the modal loop also when the close came as a sent message.
  PostMessageA(hwnd_, WM_NULL, 0, 0);
}

DialogResult SaveWindow::ShowMessage(const std::string& text, DialogKind kind, unsigned buttons) {
  return ShowMessageDialog(hwnd_, text, kind, buttons);
}

RegistryStorePtr SaveWindow::NewRegistryStore() { return NewWinRegistryStore(); }

ChangeLockPtr SaveWindow::LockChanges() { return panestow::LockChanges(); }

// Keeps the title within its byte limit, however it was entered.
void SaveWindow::OnTitleChange(int slot, HWND edit) {
  std::string& before = titles_[slot - 1];
  const std::string text = WindowText(edit);
  if (text.size() <= kTitleLimit) {
    before = text;
    return;
  }
  const FittedText fitted = FitToLimit(before, text, kTitleLimit);
  before = fitted.text;
  SetWindowTextA(edit, fitted.text.c_str());
  SendMessageA(edit, EM_SETSEL, fitted.caret, fitted.caret);
}

LRESULT SaveWindow::Handle(UINT msg, WPARAM wp, LPARAM lp) {
  HWND hwnd = hwnd_;
  LRESULT result;
  if (AnswerCommonMessage(hwnd, focus_, msg, wp, lp, result)) return result;
  switch (msg) {
    case WM_COMMAND: {
      const int id = LOWORD(wp);
      if (HIWORD(wp) == EN_CHANGE && id >= kEdit1Id && id < kEdit1Id + 4) {
        OnTitleChange(id - kEdit1Id + 1, reinterpret_cast<HWND>(lp));
      } else if (HIWORD(wp) == BN_CLICKED) {
        Guarded(hwnd, [&] { controls_.Click(form_, id); });
      }
      return 0;
    }
    case WM_CLOSE:
      // The close box ends the modal run, like the close button.
      form_.Button5Click();
      return 0;
    case WM_NCDESTROY:
      hwnd_ = nullptr;
      break;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace panestow
