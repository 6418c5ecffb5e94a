#include "bench/CallCount_win.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace panestow::bench {

namespace {

enum Fn {
  kOpen, kCreate, kClose, kQueryInfo, kEnumKey, kEnumValue, kQueryValue, kSetValue, kDeleteValue,
  kOpenW, kCreateW, kQueryInfoW, kEnumKeyW, kEnumValueW, kSetValueW, kDeleteValueW, kDeleteKeyW, kDeleteTreeW,
  kNtQueryKey, kNtDeleteKey, kFnCount
};

long g_calls[kFnCount];
void* g_real[kFnCount];

template <Fn F, typename R, typename... A>
R WINAPI Counted(A... args) {
  ++g_calls[F];
  return reinterpret_cast<R(WINAPI*)(A...)>(g_real[F])(args...);
}

struct Hook {
  const char* name;
  void* counted;
};

const Hook kHooks[kFnCount] = {
    {"RegOpenKeyExA", reinterpret_cast<void*>(&Counted<kOpen, LONG, HKEY, LPCSTR, DWORD, REGSAM, PHKEY>)},
    {"RegCreateKeyExA", reinterpret_cast<void*>(&Counted<kCreate, LONG, HKEY, LPCSTR, DWORD, LPSTR, DWORD, REGSAM,
                                                         LPSECURITY_ATTRIBUTES, PHKEY, LPDWORD>)},
    {"RegCloseKey", reinterpret_cast<void*>(&Counted<kClose, LONG, HKEY>)},
    {"RegQueryInfoKeyA", reinterpret_cast<void*>(&Counted<kQueryInfo, LONG, HKEY, LPSTR, LPDWORD, LPDWORD, LPDWORD,
                                                          LPDWORD, LPDWORD, LPDWORD, LPDWORD, LPDWORD, LPDWORD,
                                                          PFILETIME>)},
    {"RegEnumKeyExA", reinterpret_cast<void*>(&Counted<kEnumKey, LONG, HKEY, DWORD, LPSTR, LPDWORD, LPDWORD, LPSTR,
                                                       LPDWORD, PFILETIME>)},
    {"RegEnumValueA", reinterpret_cast<void*>(&Counted<kEnumValue, LONG, HKEY, DWORD, LPSTR, LPDWORD, LPDWORD,
                                                         LPDWORD, LPBYTE, LPDWORD>)},
    {"RegQueryValueExA",
     reinterpret_cast<void*>(&Counted<kQueryValue, LONG, HKEY, LPCSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD>)},
    {"RegSetValueExA",
     reinterpret_cast<void*>(&Counted<kSetValue, LONG, HKEY, LPCSTR, DWORD, DWORD, const BYTE*, DWORD>)},
    {"RegDeleteValueA", reinterpret_cast<void*>(&Counted<kDeleteValue, LONG, HKEY, LPCSTR>)},
    {"RegOpenKeyExW", reinterpret_cast<void*>(&Counted<kOpenW, LONG, HKEY, LPCWSTR, DWORD, REGSAM, PHKEY>)},
    {"RegCreateKeyExW", reinterpret_cast<void*>(&Counted<kCreateW, LONG, HKEY, LPCWSTR, DWORD, LPWSTR, DWORD, REGSAM,
                                                          LPSECURITY_ATTRIBUTES, PHKEY, LPDWORD>)},
    {"RegQueryInfoKeyW", reinterpret_cast<void*>(&Counted<kQueryInfoW, LONG, HKEY, LPWSTR, LPDWORD, LPDWORD, LPDWORD,
                                                           LPDWORD, LPDWORD, LPDWORD, LPDWORD, LPDWORD, LPDWORD,
                                                           PFILETIME>)},
    {"RegEnumKeyExW", reinterpret_cast<void*>(&Counted<kEnumKeyW, LONG, HKEY, DWORD, LPWSTR, LPDWORD, LPDWORD, LPWSTR,
                                                        LPDWORD, PFILETIME>)},
    {"RegEnumValueW", reinterpret_cast<void*>(&Counted<kEnumValueW, LONG, HKEY, DWORD, LPWSTR, LPDWORD, LPDWORD,
                                                          LPDWORD, LPBYTE, LPDWORD>)},
    {"RegSetValueExW",
     reinterpret_cast<void*>(&Counted<kSetValueW, LONG, HKEY, LPCWSTR, DWORD, DWORD, const BYTE*, DWORD>)},
    {"RegDeleteValueW", reinterpret_cast<void*>(&Counted<kDeleteValueW, LONG, HKEY, LPCWSTR>)},
    {"RegDeleteKeyW", reinterpret_cast<void*>(&Counted<kDeleteKeyW, LONG, HKEY, LPCWSTR>)},
    {"RegDeleteTreeW", reinterpret_cast<void*>(&Counted<kDeleteTreeW, LONG, HKEY, LPCWSTR>)},
    // Not imported: the product asks for them by GetProcAddress, whose
    // import is hooked below.
    {"NtQueryKey", reinterpret_cast<void*>(&Counted<kNtQueryKey, LONG, HANDLE, int, void*, ULONG, ULONG*>)},
    {"NtDeleteKey", reinterpret_cast<void*>(&Counted<kNtDeleteKey, LONG, HANDLE>)},
};

FARPROC(WINAPI* g_real_get_proc)(HMODULE, LPCSTR) = nullptr;
bool g_on = false;

// Hands out the counting stub of a function asked for by name.
FARPROC WINAPI CountedGetProcAddress(HMODULE module, LPCSTR name) {
  FARPROC real = g_real_get_proc(module, name);
  if (!g_on || !real || reinterpret_cast<ULONG_PTR>(name) <= 0xFFFF) return real;
  for (int f = 0; f < kFnCount; ++f) {
    if (std::strcmp(name, kHooks[f].name) != 0) continue;
    g_real[f] = reinterpret_cast<void*>(real);
    return reinterpret_cast<FARPROC>(kHooks[f].counted);
  }
  return real;
}

// Walks the import tables of advapi32 and kernel32 in this executable and
// sets each hooked entry to the counting stub (on) or back to the real
// function.
void Patch(bool on) {
  BYTE* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
  auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  for (auto* imp = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); imp->Name; ++imp) {
    const char* dll = reinterpret_cast<char*>(base + imp->Name);
    const bool advapi = _stricmp(dll, "advapi32.dll") == 0;
    if (!advapi && _stricmp(dll, "kernel32.dll") != 0) continue;
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const char* name = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name;
      if (!advapi) {
        if (std::strcmp(name, "GetProcAddress") != 0) continue;
        DWORD old;
        VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &old);
        if (on) {
          g_real_get_proc = reinterpret_cast<FARPROC(WINAPI*)(HMODULE, LPCSTR)>(slots->u1.Function);
          slots->u1.Function = reinterpret_cast<ULONG_PTR>(&CountedGetProcAddress);
        } else if (g_real_get_proc) {
          slots->u1.Function = reinterpret_cast<ULONG_PTR>(g_real_get_proc);
        }
        VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, old, &old);
        continue;
      }
      for (int f = 0; f < kFnCount; ++f) {
        if (std::strcmp(name, kHooks[f].name) != 0) continue;
        DWORD old;
        VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &old);
        if (on) {
          g_real[f] = reinterpret_cast<void*>(slots->u1.Function);
          slots->u1.Function = reinterpret_cast<ULONG_PTR>(kHooks[f].counted);
        } else if (g_real[f]) {
          slots->u1.Function = reinterpret_cast<ULONG_PTR>(g_real[f]);
        }
        VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, old, &old);
      }
    }
  }
}

}  // namespace

void StartCountingRegistryCalls() {
  for (long& c : g_calls) c = 0;
  if (!g_on) Patch(true);
  g_on = true;
}

void StopCountingRegistryCalls() {
  if (g_on) Patch(false);
  g_on = false;
}

long RegistryCallCount() {
  long total = 0;
  for (long c : g_calls) total += c;
  return total;
}

const char* RegistryCallBreakdown() {
  static std::string text;
  text.clear();
  for (int f = 0; f < kFnCount; ++f) {
    if (!g_calls[f]) continue;
    if (!text.empty()) text += ", ";
    text += kHooks[f].name;
    text += ' ';
    text += std::to_string(g_calls[f]);
  }
  return text.c_str();
}

}  // namespace panestow::bench
