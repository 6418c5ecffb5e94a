#include "tools/automation/Automation_win.h"

#include <algorithm>

#include <utility>

namespace panestow::automation {

namespace {

// Sent messages give up after this long rather than hang the caller on a
// program that stopped answering.
constexpr UINT kSendTimeoutMs = 10000;

// Top-level captions are read as the system keeps them, without a message
// that a busy window would hold up; controls are asked, since an edit keeps
// its text itself.
std::string CaptionOf(HWND hwnd) {
  char text[1024];
  const int len = GetWindowTextA(hwnd, text, sizeof text);
  return std::string(text, len > 0 ? len : 0);
}

bool Matches(HWND hwnd, const char* cls, const char* caption, bool top_level) {
  if (cls && lstrcmpiA(ClassOf(hwnd).c_str(), cls) != 0) return false;
  if (caption && (top_level ? CaptionOf(hwnd) : TextOf(hwnd)) != caption) return false;
  return true;
}

struct TopSearch {
  DWORD pid;
  const char* cls;
  const char* caption;
  bool visible_only;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectTop(HWND hwnd, LPARAM lp) {
  TopSearch& s = *reinterpret_cast<TopSearch*>(lp);
  if (s.pid) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != s.pid) return TRUE;
  }
  if (s.visible_only && !IsWindowVisible(hwnd)) return TRUE;
  if (Matches(hwnd, s.cls, s.caption, true)) s.found.push_back(hwnd);
  return TRUE;
}

struct ChildSearch {
  const char* cls;
  const char* caption;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectChild(HWND hwnd, LPARAM lp) {
  ChildSearch& s = *reinterpret_cast<ChildSearch*>(lp);
  if (Matches(hwnd, s.cls, s.caption, false)) s.found.push_back(hwnd);
  return TRUE;
}

}  // namespace

Process::~Process() { Release(); }

void Process::Release() {
  if (!handle_) return;
  if (Running()) {
    TerminateProcess(handle_, 1);
    WaitForSingleObject(handle_, 5000);
  }
  CloseHandle(handle_);
  handle_ = nullptr;
  id_ = 0;
}

bool Process::Start(const std::string& exe, const std::string& args, const std::string& folder, int show) {
  auto wide = [](const std::string& text) {
    std::wstring out(text.size() + 1, L'\0');
    const int len = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &out[0],
                                        static_cast<int>(out.size()));
    out.resize(len > 0 ? static_cast<size_t>(len) : 0);
    return out;
  };
  return Start(wide(exe), wide(args), wide(folder), show);
}

bool Process::Start(const std::wstring& exe, const std::wstring& args, const std::wstring& folder, int show) {
  Release();
  std::wstring line = L"\"" + exe + L"\"";
  if (!args.empty()) line += L" " + args;
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  if (show != kNoShowCommand) {
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = static_cast<WORD>(show);
  }
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessW(exe.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                      folder.empty() ? nullptr : folder.c_str(), &si, &pi)) {
    return false;
  }
  CloseHandle(pi.hThread);
  handle_ = pi.hProcess;
  id_ = pi.dwProcessId;
  return true;
}

bool Process::Running() const { return handle_ && WaitForSingleObject(handle_, 0) == WAIT_TIMEOUT; }

bool Process::WaitExit(DWORD timeout_ms, DWORD* exit_code) {
  if (!handle_ || WaitForSingleObject(handle_, timeout_ms) != WAIT_OBJECT_0) return false;
  if (exit_code) GetExitCodeProcess(handle_, exit_code);
  return true;
}

std::string Process::ImagePath() const {
  char path[MAX_PATH * 2];
  DWORD size = sizeof path;
  if (!handle_ || !QueryFullProcessImageNameA(handle_, 0, path, &size)) return "";
  return std::string(path, size);
}

std::string ClassOf(HWND hwnd) {
  char name[256];
  const int len = GetClassNameA(hwnd, name, sizeof name);
  return std::string(name, len > 0 ? len : 0);
}

std::vector<std::string> ListLines(HWND list) {
  // Wine hands a list box's text to another process in UTF-16 whatever the
  // caller asked for: asked for so, and converted here.
  std::vector<std::string> lines;
  DWORD_PTR count = 0;
  if (!SendMessageTimeoutW(list, LB_GETCOUNT, 0, 0, SMTO_NORMAL, kSendTimeoutMs, &count)) return lines;
  for (DWORD_PTR i = 0; i < count && static_cast<LONG_PTR>(count) > 0; ++i) {
    DWORD_PTR len = 0;
    if (!SendMessageTimeoutW(list, LB_GETTEXTLEN, i, 0, SMTO_NORMAL, kSendTimeoutMs, &len)) break;
    std::wstring line(len + 1, L'\0');
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&line[0]), SMTO_NORMAL, kSendTimeoutMs,
                             &got)) {
      break;
    }
    line.resize(std::min<size_t>(got, len));
    const int n = WideCharToMultiByte(CP_ACP, 0, line.data(), static_cast<int>(line.size()), nullptr, 0, nullptr,
                                      nullptr);
    std::string ansi(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) WideCharToMultiByte(CP_ACP, 0, line.data(), static_cast<int>(line.size()), &ansi[0], n, nullptr, nullptr);
    lines.push_back(ansi);
  }
  return lines;
}

int ListSelection(HWND list) {
  DWORD_PTR sel = 0;
  if (!SendMessageTimeoutA(list, LB_GETCURSEL, 0, 0, SMTO_NORMAL, kSendTimeoutMs, &sel)) return -1;
  return static_cast<int>(static_cast<LONG_PTR>(sel));
}

std::string TextOf(HWND hwnd) {
  DWORD_PTR len = 0;
  if (!SendMessageTimeoutA(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, kSendTimeoutMs, &len)) return "";
  // The length may count characters where the text has two bytes each.
  std::string text(2 * len + 2, '\0');
  DWORD_PTR got = 0;
  if (!SendMessageTimeoutA(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]), SMTO_NORMAL,
                           kSendTimeoutMs, &got)) {
    return "";
  }
  text.resize(got < text.size() ? got : 0);
  return text;
}

std::wstring WideTextOf(HWND hwnd) {
  DWORD_PTR len = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, kSendTimeoutMs, &len)) return L"";
  std::wstring text(len + 1, L'\0');
  DWORD_PTR got = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]), SMTO_NORMAL,
                           kSendTimeoutMs, &got)) {
    return L"";
  }
  text.resize(got < text.size() ? got : 0);
  return text;
}

bool SetText(HWND hwnd, const std::string& text) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL,
                             kSendTimeoutMs, &result) &&
         result == TRUE;
}

std::vector<HWND> TopWindows(DWORD pid, const char* cls, const char* caption, bool visible_only) {
  TopSearch s{pid, cls, caption, visible_only, {}};
  EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&s));
  return std::move(s.found);
}

HWND WaitTopWindow(DWORD pid, const std::string& caption, DWORD timeout_ms, HANDLE process) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        const std::vector<HWND> windows = TopWindows(pid, nullptr, caption.c_str(), true);
        found = windows.empty() ? nullptr : windows.front();
        return found != nullptr;
      },
      timeout_ms, process);
  return found;
}

std::vector<HWND> Children(HWND parent, const char* cls, const char* caption) {
  ChildSearch s{cls, caption, {}};
  EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&s));
  return std::move(s.found);
}

HWND FindChild(HWND parent, const char* cls, const char* caption) {
  const std::vector<HWND> found = Children(parent, cls, caption);
  return found.empty() ? nullptr : found.front();
}

HWND ButtonAfter(HWND parent, const std::string& caption, size_t n) {
  const std::vector<HWND> buttons = Children(parent, "Button");
  for (size_t i = 0; i < buttons.size(); ++i) {
    if (TextOf(buttons[i]) == caption && i + n < buttons.size()) return buttons[i + n];
  }
  return nullptr;
}

HWND FindChildById(HWND parent, int id) {
  for (HWND child : Children(parent, nullptr)) {
    if (GetDlgCtrlID(child) == id) return child;
  }
  return nullptr;
}

bool Click(HWND button) { return button && PostMessageA(button, BM_CLICK, 0, 0); }

HWND FocusedControl(HWND window) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  const DWORD thread = GetWindowThreadProcessId(window, nullptr);
  if (!GetGUIThreadInfo(thread, &info) || !info.hwndFocus || !IsChild(window, info.hwndFocus)) return nullptr;
  return info.hwndFocus;
}

namespace {

bool PostKey(HWND window, UINT down_msg, UINT up_msg, LPARAM flags, UINT vk) {
  HWND focus = FocusedControl(window);
  HWND target = focus ? focus : window;
  const UINT scan = MapVirtualKeyA(vk, MAPVK_VK_TO_VSC);
  // Repeat count 1 and the scan code; a release also carries the previous
  // key state and the transition bit.
  const LPARAM down = 1 | (static_cast<LPARAM>(scan) << 16) | flags;
  const LPARAM up = down | (static_cast<LPARAM>(3) << 30);
  return PostMessageA(target, down_msg, vk, down) && PostMessageA(target, up_msg, vk, up);
}

}  // namespace

bool PressKey(HWND window, UINT vk) { return PostKey(window, WM_KEYDOWN, WM_KEYUP, 0, vk); }

bool PressAltKey(HWND window, UINT vk) {
  // Bit 29: the Alt key is down.
  return PostKey(window, WM_SYSKEYDOWN, WM_SYSKEYUP, static_cast<LPARAM>(1) << 29, vk);
}

bool PostClose(HWND window) { return PostMessageA(window, WM_CLOSE, 0, 0); }

bool PressCloseBox(HWND window) { return PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0); }

bool Sync(HWND window, DWORD timeout_ms) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, timeout_ms, &result) != 0;
}

std::vector<HWND> Dialogs(DWORD pid, bool visible_only) { return TopWindows(pid, "#32770", nullptr, visible_only); }

HWND WaitDialog(DWORD pid, DWORD timeout_ms, HANDLE process) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        const std::vector<HWND> dialogs = Dialogs(pid, true);
        found = dialogs.empty() ? nullptr : dialogs.front();
        return found != nullptr;
      },
      timeout_ms, process);
  return found;
}

DialogInfo ReadDialog(HWND dialog) {
  DialogInfo info;
  info.hwnd = dialog;
  info.caption = CaptionOf(dialog);
  wchar_t caption[1024];
  const int caption_len = GetWindowTextW(dialog, caption, 1024);
  info.wide_caption.assign(caption, caption_len > 0 ? caption_len : 0);
  for (HWND child : Children(dialog, nullptr)) {
    if (!IsWindowVisible(child)) continue;
    const std::string cls = ClassOf(child);
    if (lstrcmpiA(cls.c_str(), "Button") == 0) {
      info.buttons.push_back(TextOf(child));
    } else if (lstrcmpiA(cls.c_str(), "Static") == 0) {
      const std::string text = TextOf(child);
      if (text.empty()) continue;
      if (!info.text.empty()) info.text += "\n";
      info.text += text;
      if (!info.wide_text.empty()) info.wide_text += L"\n";
      info.wide_text += WideTextOf(child);
    }
  }
  return info;
}

bool ClickDialogButton(HWND dialog, const std::string& caption) {
  HWND button = FindChild(dialog, "Button", caption.c_str());
  return button && Click(button);
}

RECT WindowRect(HWND hwnd) {
  RECT rc = {};
  GetWindowRect(hwnd, &rc);
  return rc;
}

SIZE ClientSize(HWND hwnd) {
  RECT rc = {};
  GetClientRect(hwnd, &rc);
  return SIZE{rc.right - rc.left, rc.bottom - rc.top};
}

bool SetClientWidth(HWND hwnd, int width, bool below_minimum) {
  const RECT outer = WindowRect(hwnd);
  const SIZE client = ClientSize(hwnd);
  const int frame = (outer.right - outer.left) - client.cx;
  const UINT flags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | (below_minimum ? SWP_NOSENDCHANGING : 0);
  return SetWindowPos(hwnd, nullptr, 0, 0, width + frame, outer.bottom - outer.top, flags) != 0;
}

}  // namespace panestow::automation
