#include "registry/WideRegistry_win.h"

#include <windows.h>

#include <string>

namespace panestow {

namespace {

const wchar_t* W(const WideString& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }

struct WinKey : WideKey {
  explicit WinKey(HKEY h) : handle(h) {}
  ~WinKey() override { RegCloseKey(handle); }
  HKEY handle;
};

WinKey& Win(WideKey& key) { return static_cast<WinKey&>(key); }

// No key or value name is longer than 16383 characters.
constexpr DWORD kMaxName = 16384;

// Two of the registry's own calls that advapi32 has no single call for.
using NtQueryKeyFn = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
using NtDeleteKeyFn = LONG(WINAPI*)(HANDLE);

template <typename Fn>
Fn NtFunction(const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), name)));
}

class WinWideRegistry : public WideRegistry {
 public:
  WideString FromAnsi(std::string_view ansi) override {
    if (ansi.empty()) return WideString();
    const int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    WideString wide(static_cast<size_t>(n > 0 ? n : 0), u'\0');
    if (n > 0) {
      MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), reinterpret_cast<wchar_t*>(&wide[0]),
                          n);
    }
    return wide;
  }

  bool ToAnsi(const WideString& wide, std::string& ansi) override {
    ansi.clear();
    // ASCII, the most of names, is the same in every ANSI code page.
    bool ascii = true;
    for (char16_t c : wide) ascii = ascii && c < 0x80;
    if (ascii) {
      for (char16_t c : wide) ansi += static_cast<char>(c);
      return true;
    }
    BOOL lossy = FALSE;
    const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, W(wide), static_cast<int>(wide.size()), nullptr,
                                      0, nullptr, &lossy);
    if (n <= 0 || lossy) return false;
    ansi.resize(static_cast<size_t>(n));
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, W(wide), static_cast<int>(wide.size()), &ansi[0], n, nullptr,
                        &lossy);
    return !lossy && FromAnsi(ansi) == wide;
  }

  OpenResult Open(const WideString& path, WideKeyPtr& key) override {
    HKEY h = nullptr;
    const LONG rc = RegOpenKeyExW(HKEY_CURRENT_USER, W(path), 0, KEY_ALL_ACCESS, &h);
    if (rc == ERROR_SUCCESS) {
      key = std::make_unique<WinKey>(h);
      return OpenResult::Opened;
    }
    if (rc == ERROR_FILE_NOT_FOUND || rc == ERROR_PATH_NOT_FOUND) return OpenResult::Missing;
    if (rc == ERROR_ACCESS_DENIED) return OpenResult::Denied;
    return OpenResult::Failed;
  }

  bool Create(const WideString& path, WideKeyPtr& key) override {
    HKEY h = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, W(path), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &h,
                        nullptr) != ERROR_SUCCESS) {
      return false;
    }
    key = std::make_unique<WinKey>(h);
    return true;
  }

  bool KeyName(WideKey& key, WideString& name) override {
    // RegQueryInfoKey does not tell it.
    struct BasicInformation {  // KEY_BASIC_INFORMATION
      LARGE_INTEGER last_write;
      ULONG title_index;
      ULONG name_length;  // in bytes
      WCHAR name[256];    // key names have at most 255 characters
    } info;
    ULONG got = 0;
    if (!query_key_ || query_key_(Win(key).handle, 0, &info, sizeof info, &got) != 0) return false;
    name.assign(reinterpret_cast<const char16_t*>(info.name), info.name_length / 2);
    return true;
  }

  bool Counts(WideKey& key, KeyCounts& counts) override {
    DWORD subkeys = 0, values = 0, max_subkey = 0, max_name = 0, max_data = 0;
    if (RegQueryInfoKeyW(Win(key).handle, nullptr, nullptr, nullptr, &subkeys, &max_subkey, nullptr, &values,
                         &max_name, &max_data, nullptr, nullptr) != ERROR_SUCCESS) {
      return false;
    }
    counts.subkeys = subkeys;
    counts.values = values;
    // Room for the key's names and data in the buffers the enumerations
    // share; they only grow.
    if (max_subkey > max_name) max_name = max_subkey;
    if (name_.size() < max_name + 2) name_.resize(max_name + 2);
    if (data_.size() < max_data + 2) data_.resize(max_data + 2);
    return true;
  }

  bool EnumValue(WideKey& key, uint32_t index, WideValue& value) override {
    for (int tries = 0; tries < 32; ++tries) {
      DWORD name_len = static_cast<DWORD>(name_.size());
      DWORD data_len = static_cast<DWORD>(data_.size());
      DWORD type = 0;
      const LONG rc = RegEnumValueW(Win(key).handle, index, &name_[0], &name_len, nullptr, &type,
                                    reinterpret_cast<BYTE*>(&data_[0]), &data_len);
      if (rc == ERROR_MORE_DATA) {
        // What the key's information gave is not always enough.
        if (name_.size() < kMaxName + 2) name_.resize(name_.size() * 2);
        data_.resize(data_len > data_.size() ? data_len + 2 : data_.size() * 2);
        continue;
      }
      if (rc != ERROR_SUCCESS) return false;
      value.name.assign(reinterpret_cast<const char16_t*>(name_.data()), name_len);
      value.type = type;
      value.data.assign(data_.data(), data_len);
      return true;
    }
    return false;
  }

  bool EnumSubkey(WideKey& key, uint32_t index, WideString& name) override {
    for (int tries = 0; tries < 32; ++tries) {
      DWORD len = static_cast<DWORD>(name_.size());
      const LONG rc = RegEnumKeyExW(Win(key).handle, index, &name_[0], &len, nullptr, nullptr, nullptr, nullptr);
      if (rc == ERROR_MORE_DATA && name_.size() < kMaxName + 2) {
        name_.resize(name_.size() * 2);
        continue;
      }
      if (rc != ERROR_SUCCESS) return false;
      name.assign(reinterpret_cast<const char16_t*>(name_.data()), len);
      return true;
    }
    return false;
  }

  bool SetValue(WideKey& key, const WideValue& value) override {
    return RegSetValueExW(Win(key).handle, W(value.name), 0, value.type,
                          reinterpret_cast<const BYTE*>(value.data.data()),
                          static_cast<DWORD>(value.data.size())) == ERROR_SUCCESS;
  }

  bool DeleteValue(WideKey& key, const WideString& name) override {
    return RegDeleteValueW(Win(key).handle, W(name)) == ERROR_SUCCESS;
  }

  bool Empty(WideKey& key) override { return RegDeleteTreeW(Win(key).handle, nullptr) == ERROR_SUCCESS; }

  bool DeleteKey(const WideString& path) override {
    // The registry refuses to delete a key that has subkeys.
    return RegDeleteKeyW(HKEY_CURRENT_USER, W(path)) == ERROR_SUCCESS;
  }

  bool DeleteOpenKey(WideKey& key) override {
    // A key opened for all access may be deleted (DELETE is part of it).
    return delete_key_ && delete_key_(Win(key).handle) >= 0;
  }

  bool DeleteTree(const WideString& path) override {
    const LONG rc = RegDeleteTreeW(HKEY_CURRENT_USER, W(path));
    if (rc == ERROR_FILE_NOT_FOUND) return true;
    if (rc != ERROR_SUCCESS) return false;
    const LONG gone = RegDeleteKeyW(HKEY_CURRENT_USER, W(path));
    return gone == ERROR_SUCCESS || gone == ERROR_FILE_NOT_FOUND;
  }

 private:
  const NtQueryKeyFn query_key_ = NtFunction<NtQueryKeyFn>("NtQueryKey");
  const NtDeleteKeyFn delete_key_ = NtFunction<NtDeleteKeyFn>("NtDeleteKey");
  std::wstring name_ = std::wstring(256, L'\0');
  std::string data_ = std::string(1024, '\0');
};

}  // namespace

WideRegistryPtr NewWinWideRegistry() { return std::make_unique<WinWideRegistry>(); }

}  // namespace panestow
