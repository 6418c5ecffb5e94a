// Driving another program's windows from outside, in plain Win32: start it,
// find its windows and controls, read and set texts, press buttons and
// keys, answer its dialogs, and wait for it to end.
//
// Everything that waits polls, so a caller pays only for the time the other
// program really takes. Nothing here reports failures itself: lookups give
// a null handle, waits give false, and the caller decides what that means.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace panestow::automation {

// A program started by the caller. A program still running when the object
// goes is ended, so a failed test leaves nothing behind.
class Process {
 public:
  Process() = default;
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  // Starts `exe` with the command line `"exe" args` in `folder` (the
  // caller's current folder when empty), after ending the program this
  // object held before. `show`, unless kNoShowCommand, is the show command
  // its STARTUPINFO passes on (STARTF_USESHOWWINDOW), as a shortcut's
  // "Run" setting does. False when it cannot start.
  static constexpr int kNoShowCommand = -1;
  bool Start(const std::string& exe, const std::string& args, const std::string& folder = "",
             int show = kNoShowCommand);
  // The same with wide texts, for paths that the ANSI code page cannot
  // carry or that are too long for the ANSI functions.
  bool Start(const std::wstring& exe, const std::wstring& args, const std::wstring& folder = L"",
             int show = kNoShowCommand);

  DWORD Id() const { return id_; }
  HANDLE Handle() const { return handle_; }
  bool Running() const;
  // Waits for the end; false on timeout. `exit_code` receives the code.
  bool WaitExit(DWORD timeout_ms, DWORD* exit_code = nullptr);
  // The path the system loaded the program from.
  std::string ImagePath() const;

 private:
  void Release();

  HANDLE handle_ = nullptr;
  DWORD id_ = 0;
};

// Polls `done` every few milliseconds until it holds or `timeout_ms` has
// passed; one last look after the deadline. `process`, when given, cuts
// the wait short once that process has ended.
template <typename Pred>
bool WaitUntil(Pred done, DWORD timeout_ms, HANDLE process = nullptr) {
  const ULONGLONG deadline = GetTickCount64() + timeout_ms;
  for (;;) {
    if (done()) return true;
    if (GetTickCount64() >= deadline) return false;
    if (process && WaitForSingleObject(process, 0) == WAIT_OBJECT_0) return done();
    Sleep(10);
  }
}

std::string ClassOf(HWND hwnd);

// The window's text through WM_GETTEXT, as the window's own code page gives
// it to ANSI callers.
std::string TextOf(HWND hwnd);

// The same through the wide WM_GETTEXT.
std::wstring WideTextOf(HWND hwnd);

// The lines of a list box, and the index of its selection (-1 for none).
std::vector<std::string> ListLines(HWND list);
int ListSelection(HWND list);

// WM_SETTEXT; false when the window did not take it.
bool SetText(HWND hwnd, const std::string& text);

// Top-level windows of process `pid` (any process when 0), in z-order.
// `cls` and `caption`, when not null, must match exactly (the class without
// regard to case).
std::vector<HWND> TopWindows(DWORD pid, const char* cls, const char* caption, bool visible_only);

// The first visible top-level window of `pid` (any process when 0) with
// this caption, waited for; null on timeout.
HWND WaitTopWindow(DWORD pid, const std::string& caption, DWORD timeout_ms, HANDLE process = nullptr);

// Descendants of `parent` at any depth (so also the controls inside
// panels), in creation order; `cls` and `caption` as for TopWindows.
std::vector<HWND> Children(HWND parent, const char* cls, const char* caption = nullptr);
HWND FindChild(HWND parent, const char* cls, const char* caption);
// The `n`-th button after the button of that caption (n = 1: the next one),
// counting descendants in creation order; null when there is none.
HWND ButtonAfter(HWND parent, const std::string& caption, size_t n);
HWND FindChildById(HWND parent, int id);

// Presses a button the way a mouse click does, by a posted BM_CLICK: a
// click that opens a modal dialog must not block the caller.
bool Click(HWND button);

// The control of `window` that has the keyboard focus in its thread; null
// when none has (the window itself, or another one of its thread, may).
HWND FocusedControl(HWND window);

// Posts a key press (WM_KEYDOWN, WM_KEYUP) to the control that has the
// keyboard focus in `window`'s thread, or to `window` when none has.
bool PressKey(HWND window, UINT vk);
// The same with Alt held (WM_SYSKEYDOWN, WM_SYSKEYUP, the context bit
// set), as for a mnemonic: the program's own message loop makes the
// WM_SYSCHAR of it.
bool PressAltKey(HWND window, UINT vk);

// The ordinary closes: WM_CLOSE, and the title bar's close box
// (WM_SYSCOMMAND SC_CLOSE).
bool PostClose(HWND window);
bool PressCloseBox(HWND window);

// Returns once `window`'s thread has handled a message sent to it, that is
// once it waits for messages again (in its main loop or in a modal one).
bool Sync(HWND window, DWORD timeout_ms = 10000);

// Dialog boxes (class #32770), message boxes included.
struct DialogInfo {
  HWND hwnd = nullptr;
  std::string caption;
  std::string text;                  // the texts of its visible static controls
  std::vector<std::string> buttons;  // captions of its visible buttons, in creation order
  // The caption and the texts as the wide functions read them, whatever
  // the ANSI code page could carry.
  std::wstring wide_caption, wide_text;
};

std::vector<HWND> Dialogs(DWORD pid, bool visible_only);
// The first visible dialog of `pid`, waited for; null on timeout.
HWND WaitDialog(DWORD pid, DWORD timeout_ms, HANDLE process = nullptr);
DialogInfo ReadDialog(HWND dialog);
// Clicks the dialog's button of that caption; false when there is none.
bool ClickDialogButton(HWND dialog, const std::string& caption);

// Rectangles in screen pixels.
RECT WindowRect(HWND hwnd);
SIZE ClientSize(HWND hwnd);
// Resizes a top-level window so that its client area gets this width,
// keeping its height and position. The window system keeps a window at
// least its minimum tracking size; `below_minimum` goes round that by not
// letting the window see the change coming (SWP_NOSENDCHANGING), as a
// system with a smaller minimum would.
bool SetClientWidth(HWND hwnd, int width, bool below_minimum = false);

}  // namespace panestow::automation
