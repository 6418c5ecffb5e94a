#include "app/startcheck_win.h"

#include <windows.h>

#include "app/paths.h"
#include "app/startcheck.h"

namespace panestow {

namespace {

// The path the executable was loaded from, through a buffer that grows: a
// path cut at MAX_PATH would name files elsewhere. Empty when it cannot be
// had.
std::wstring ModulePathW() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD len = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
    if (len == 0) return std::wstring();
    if (len < path.size()) {
      path.resize(len);
      return path;
    }
    // Cut: no path is longer than 32767 characters.
    if (path.size() > 32768) return std::wstring();
    path.resize(path.size() * 2);
  }
}

// `wide` in the ANSI code page, when every character has its own there:
// no default character, no best-fit look-alike ("u" for "ü"), and the
// bytes read back as the same text.
bool ToAnsiExactly(const std::wstring& wide, std::string& ansi) {
  ansi.clear();
  if (wide.empty()) return false;
  const int wide_len = static_cast<int>(wide.size());
  BOOL defaulted = FALSE;
  const int len = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), wide_len, nullptr, 0, nullptr,
                                      &defaulted);
  if (len <= 0 || defaulted) return false;
  ansi.resize(static_cast<size_t>(len));
  if (WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), wide_len, &ansi[0], len, nullptr,
                          &defaulted) != len ||
      defaulted) {
    return false;
  }
  const int back_len = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansi.data(), len, nullptr, 0);
  std::wstring back(static_cast<size_t>(back_len > 0 ? back_len : 0), L'\0');
  if (back_len <= 0 || MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansi.data(), len, &back[0], back_len) !=
                           back_len) {
    return false;
  }
  return back == wide;
}

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide text is UTF-16");

std::u16string Utf16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }

// The folder part, without its last backslash.
std::wstring FolderOf(const std::wstring& path) {
  const size_t cut = path.find_last_of(L"\\/");
  return cut == std::wstring::npos ? path : path.substr(0, cut);
}

void ShowStartError(const std::u16string& text) {
  // The wide function: the text reads right in any code page.
  MessageBoxW(nullptr, reinterpret_cast<const wchar_t*>(text.c_str()), L"Panestow", MB_OK | MB_ICONSTOP);
}

}  // namespace

bool StartCheck() {
  const UINT code_page = GetACP();
  if (code_page != kJapaneseCodePage) {
    ShowStartError(CodePageErrorText(code_page));
    return false;
  }
  const std::wstring wide = ModulePathW();
  std::string ansi;
  if (!ToAnsiExactly(wide, ansi)) {
    ShowStartError(FolderErrorText(Utf16(FolderOf(wide)), FolderProblem::NotInCodePage));
    return false;
  }
  if (!DerivedPathsFit(ansi)) {
    ShowStartError(FolderErrorText(Utf16(FolderOf(wide)), FolderProblem::TooLong));
    return false;
  }
  return true;
}

std::string ExecutablePath() {
  std::string ansi;
  return ToAnsiExactly(ModulePathW(), ansi) ? ansi : std::string();
}

}  // namespace panestow
