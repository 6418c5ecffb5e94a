#include "bench/BenchUtil_win.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace panestow::bench {

void Die(const std::string& what) {
  std::fprintf(stderr, "regbench: %s\n", what.c_str());
  std::exit(1);
}

double NowMs() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

namespace {

double TimesMs(HANDLE process) {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
  auto ms = [](const FILETIME& t) {
    return static_cast<double>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000.0;
  };
  return ms(kernel) + ms(user);
}

}  // namespace

double CpuMs() { return TimesMs(GetCurrentProcess()); }

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD put = 0;
  const bool ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr) && put == bytes.size();
  return CloseHandle(h) && ok;
}

bool ReadBytes(const std::string& path, std::string& bytes) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size;
  bool ok = GetFileSizeEx(h, &size) != 0;
  if (ok) {
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD got = 0;
    ok = bytes.empty() || (ReadFile(h, &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr) && got == bytes.size());
  }
  CloseHandle(h);
  return ok;
}

ProcessResult RunProcess(const std::string& command_line, const std::string& folder, bool inherit_output) {
  ProcessResult result;
  SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
  HANDLE nul = inherit_output ? INVALID_HANDLE_VALUE
                              : CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                            &sa, OPEN_EXISTING, 0, nullptr);
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = inherit_output ? GetStdHandle(STD_INPUT_HANDLE) : nul;
  si.hStdOutput = inherit_output ? GetStdHandle(STD_OUTPUT_HANDLE) : nul;
  si.hStdError = inherit_output ? GetStdHandle(STD_ERROR_HANDLE) : nul;
  PROCESS_INFORMATION pi = {};
  std::string line = command_line;
  const double start = NowMs();
  if (CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, folder.empty() ? nullptr : folder.c_str(),
                     &si, &pi)) {
    WaitForSingleObject(pi.hProcess, INFINITE);
    result.ms = NowMs() - start;
    result.started = true;
    GetExitCodeProcess(pi.hProcess, &result.exit_code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  if (nul != INVALID_HANDLE_VALUE) CloseHandle(nul);
  return result;
}

}  // namespace panestow::bench
