// Reaching the Unix side from a test under Wine: a Windows path's Unix
// name, and running a Unix program (Wine starts ELF programs directly).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace panestow::test {

inline std::string UnixPath(const std::string& windows_path) {
  using Convert = char*(CDECL*)(LPCWSTR);
  auto convert = reinterpret_cast<Convert>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (!convert) return std::string();
  wchar_t wide[MAX_PATH * 2];
  MultiByteToWideChar(CP_ACP, 0, windows_path.c_str(), -1, wide, MAX_PATH * 2);
  char* unix_path = convert(wide);
  if (!unix_path) return std::string();
  std::string out = unix_path;
  HeapFree(GetProcessHeap(), 0, unix_path);
  return out;
}

// Runs a Unix command line and waits for it; false when it could not start.
inline bool RunUnix(const std::string& command_line) {
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi;
  std::string cmd = command_line;
  if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
  WaitForSingleObject(pi.hProcess, 10000);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return true;
}

// A folder in which nothing can be created, renamed or deleted, even by
// root (the immutable attribute), for as long as the object lives.
class ImmutableFolder {
 public:
  explicit ImmutableFolder(const std::string& windows_path)
      : folder_(windows_path), unix_(UnixPath(windows_path)) {
    if (unix_.empty() || !RunUnix("/usr/bin/chattr +i \"" + unix_ + "\"")) return;
    // Wine does not always wait for a Unix program to end: watch for the
    // attribute to take hold.
    for (int i = 0; i < 100 && !ok_; ++i) {
      ok_ = !CanCreate();
      if (!ok_) Sleep(50);
    }
  }
  ~ImmutableFolder() {
    if (unix_.empty()) return;
    RunUnix("/usr/bin/chattr -i \"" + unix_ + "\"");
    for (int i = 0; i < 100 && !CanCreate(); ++i) Sleep(50);
    // A probe made just before the attribute took hold could not go then.
    for (const std::string& probe : leftovers_) DeleteFileA(probe.c_str());
  }
  ImmutableFolder(const ImmutableFolder&) = delete;
  ImmutableFolder& operator=(const ImmutableFolder&) = delete;
  bool ok() const { return ok_; }

 private:
  bool CanCreate() {
    const std::string probe = folder_ + "\\probe" + std::to_string(probes_++);
    HANDLE h = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    if (!DeleteFileA(probe.c_str())) leftovers_.push_back(probe);
    return true;
  }

  std::string folder_;
  int probes_ = 0;
  std::vector<std::string> leftovers_;
  std::string unix_;
  bool ok_ = false;
};

}  // namespace panestow::test
