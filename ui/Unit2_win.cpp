#include "ui/Unit2_win.h"

#include "registry/RegistryStore_win.h"
#include "ui/Controls_win.h"
#include "ui/MessageDialog_win.h"
#include "ui/TitleLimit.h"

namespace panestow {

namespace {

const char kClassName[] = "PanestowSaveWindow";
const char kCaption[] = "Panestow - 保存";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT;
constexpr int kClientWidth = 385;
constexpr int kClientHeight = 263;
constexpr int kTitleLimit = 128;

// Control ids: save buttons 101-104, close button 105, title edits 201-204,
// labels 301-308, rectangles 401-404.
constexpr int kSaveButtonId = 100;
constexpr int kCloseButtonId = 105;
constexpr int kEditId = 200;
constexpr int kLabelId = 300;
constexpr int kShapeId = 400;

const char* const kSlotLabels[4] = {"設定１", "設定２", "設定３", "設定４"};
const char* const kDefaultTitles[4] = {"【設定１】でレイアウトを戻す", "【設定２】でレイアウトを戻す",
                                       "【設定３】でレイアウトを戻す", "【設定４】でレイアウトを戻す"};
const char* const kSaveCaptions[4] = {"保存(&1)", "保存(&2)", "保存(&3)", "保存(&4)"};

std::string WindowText(HWND hwnd) {
  const int len = GetWindowTextLengthA(hwnd);
  std::string text(static_cast<size_t>(len) + 1, '\0');
  const int got = GetWindowTextA(hwnd, &text[0], len + 1);
  text.resize(static_cast<size_t>(got > 0 ? got : 0));
  return text;
}

}  // namespace

SaveWindow::SaveWindow() : form_(*this) {
  for (int k = 0; k < 4; ++k) titles_[k] = kDefaultTitles[k];
}

SaveWindow::~SaveWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
}

void SaveWindow::Register(HINSTANCE instance) {
  RegisterWindowClass(instance, kClassName, ObjectWindowProc<SaveWindow>);
}

void SaveWindow::Create(HWND owner) {
  owner_ = owner;
  const SIZE outer = OuterSize(kStyle, kExStyle, kClientWidth, kClientHeight);
  CreateWindowExA(kExStyle, kClassName, kCaption, kStyle, 193, 109, outer.cx, outer.cy, owner, nullptr,
                  GetModuleHandleA(nullptr), this);
}

void SaveWindow::CreateControls() {
  HFONT font = GothicFont(13);
  for (int k = 0; k < 4; ++k) {
    const int d = 56 * k;
    HWND label = CreateLabel(hwnd_, kLabelId + 2 * k + 1, kSlotLabels[k], Rect{4, 4 + d, 53, 21}, font, true);
    SetControlColor(label, kSkyBlue);
    HWND shape = CreateLabel(hwnd_, kShapeId + k + 1, "", Rect{56, 16 + d, 321, 9}, font, false);
    SetControlColor(shape, kSkyBlue);
    HWND title = CreateLabel(hwnd_, kLabelId + 2 * k + 2, "タイトル", Rect{16, 32 + d, 73, 21}, font, true);
    SetControlColor(title, kMoneyGreen);
    edits_[k] = CreateEdit(hwnd_, kEditId + k + 1, titles_[k].c_str(), Rect{88, 32 + d, 217, 21}, font);
    SendMessageA(edits_[k], EM_LIMITTEXT, kTitleLimit, 0);
    CreateButton(hwnd_, kSaveButtonId + k + 1, kSaveCaptions[k], Rect{312, 32 + d, 65, 25}, font);
  }
  CreateButton(hwnd_, kCloseButtonId, "閉じる(&C)", Rect{88, 232, 209, 25}, font);
}

void SaveWindow::ShowModal() {
  // The controls are made when the window is first shown: a run that only
  // restores from the command line never needs them.
  if (!edits_[0]) CreateControls();
  modal_ = true;
  EnableWindow(owner_, FALSE);
  // Shown as it was last placed, also when it was closed minimized.
  ShowWindow(hwnd_, SW_SHOWNORMAL);
  SetForegroundWindow(hwnd_);
  SetFocus(edits_[0]);
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
  return edits_[slot - 1] ? WindowText(edits_[slot - 1]) : titles_[slot - 1];
}

void SaveWindow::SetTitle(int slot, const std::string& text) {
  titles_[slot - 1] = text;
  if (edits_[slot - 1]) SetWindowTextA(edits_[slot - 1], text.c_str());
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

void SaveWindow::OnCommand(int id, int code, HWND control) {
  if (id > kEditId && id <= kEditId + 4 && code == EN_CHANGE) {
    // Keep the title within its byte limit, however it was entered.
    const int k = id - kEditId - 1;
    const std::string text = WindowText(control);
    if (text.size() > kTitleLimit) {
      const FittedText fitted = FitToLimit(titles_[k], text, kTitleLimit);
      titles_[k] = fitted.text;
      SetWindowTextA(control, fitted.text.c_str());
      SendMessageA(control, EM_SETSEL, fitted.caret, fitted.caret);
    } else {
      titles_[k] = text;
    }
    return;
  }
  if (code != BN_CLICKED) return;
  Guarded(hwnd_, [&] {
    switch (id) {
      case kSaveButtonId + 1: form_.Button1Click(); break;
      case kSaveButtonId + 2: form_.Button2Click(); break;
      case kSaveButtonId + 3: form_.Button3Click(); break;
      case kSaveButtonId + 4: form_.Button4Click(); break;
      case kCloseButtonId: form_.Button5Click(); break;
    }
  });
}

LRESULT SaveWindow::Handle(UINT msg, WPARAM wp, LPARAM lp) {
  HWND hwnd = hwnd_;
  switch (msg) {
    case WM_COMMAND:
      OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp));
      return 0;
    case WM_CTLCOLORSTATIC:
      if (LRESULT brush = ControlColors(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp))) return brush;
      break;
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
