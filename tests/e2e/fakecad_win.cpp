// A stand-in for Jw_cad in the launch tests: it writes its whole command
// line and its current folder, one per line, into a file beside itself (its
// own path with ".log" for its extension) and ends. Started with "--stay"
// it goes on running until it is ended, as a Jw_cad left open does.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char self[MAX_PATH];
  const DWORD len = GetModuleFileNameA(nullptr, self, MAX_PATH);
  if (len == 0 || len >= MAX_PATH) return 1;
  std::string log(self, len);
  const size_t dot = log.find_last_of(".\\");
  if (dot != std::string::npos && log[dot] == '.') log.resize(dot);
  log += ".log";

  char folder[MAX_PATH];
  const DWORD folder_len = GetCurrentDirectoryA(MAX_PATH, folder);
  const std::string text = std::string(GetCommandLineA()) + "\r\n" + std::string(folder, folder_len) + "\r\n";

  // Written aside and then renamed, so a reader never sees half a log.
  const std::string part = log + ".part";
  HANDLE h = CreateFileA(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return 1;
  DWORD put = 0;
  const bool written = WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &put, nullptr) && put == text.size();
  CloseHandle(h);
  if (!written || !MoveFileExA(part.c_str(), log.c_str(), MOVEFILE_REPLACE_EXISTING)) return 1;
  if (std::string(GetCommandLineA()).find(" --stay") != std::string::npos) Sleep(INFINITE);
  return 0;
}
