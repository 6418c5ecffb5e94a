// Reaching the Unix side from a test under Wine: a Windows path's Unix
// name, and running a Unix program (Wine starts ELF programs directly).
#pragma once

#include <windows.h>

#include <string>

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

// Runs a Unix shell command and waits until it has ended; false when it
// could not be started, did not end within ten seconds or failed. Wine does
// not wait for a Unix program's end through its process handle, so the
// command leaves its status in a file of its own.
inline bool RunUnix(const std::string& command) {
  char dir[MAX_PATH], marker[MAX_PATH];
  GetTempPathA(MAX_PATH, dir);
  if (!GetTempFileNameA(dir, "unx", 0, marker)) return false;
  DeleteFileA(marker);
  const std::string unix_marker = UnixPath(marker);
  std::string cmd = "/bin/sh -c \"" + command + "; echo $? > '" + unix_marker + "'\"";
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi;
  if (unix_marker.empty() ||
      !CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    return false;
  }
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  std::string status;
  for (int i = 0; i < 200 && status.empty(); ++i) {
    HANDLE h = CreateFileA(marker, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      char buf[16];
      DWORD got = 0;
      if (ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0 && buf[got - 1] == '\n') status.assign(buf, got - 1);
      CloseHandle(h);
    }
    if (status.empty()) Sleep(50);
  }
  DeleteFileA(marker);
  return status == "0";
}

// A folder in which nothing can be created, renamed or deleted, even by
// root (the immutable attribute), for as long as the object lives.
class ImmutableFolder {
 public:
  explicit ImmutableFolder(const std::string& windows_path)
      : folder_(windows_path), unix_(UnixPath(windows_path)) {
    if (unix_.empty() || !RunUnix("chattr +i '" + unix_ + "'")) return;
    // It took: a new file is refused.
    ok_ = !CanCreate();
  }
  ~ImmutableFolder() {
    if (unix_.empty()) return;
    RunUnix("chattr -i '" + unix_ + "'");
  }
  ImmutableFolder(const ImmutableFolder&) = delete;
  ImmutableFolder& operator=(const ImmutableFolder&) = delete;
  bool ok() const { return ok_; }

 private:
  bool CanCreate() {
    const std::string probe = folder_ + "\\probe";
    HANDLE h = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    DeleteFileA(probe.c_str());
    return true;
  }

  std::string folder_;
  std::string unix_;
  bool ok_ = false;
};

}  // namespace panestow::test
