#include "registry/RegistryStore_win.h"

namespace panestow {

namespace {

// Sizes reported by RegQueryInfoKeyA may count characters of the stored
// Unicode text rather than ANSI bytes, so every buffer below also grows on
// ERROR_MORE_DATA, and names are taken up to their first NUL.
// No key or value name is longer than 16383 characters.
constexpr size_t kMaxNameBuffer = 1 << 16;

struct KeyInfo {
  DWORD subkeys = 0, max_subkey = 0, values = 0, max_value_name = 0, max_data = 0;
};

bool QueryInfo(HKEY key, KeyInfo& info) {
  return RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &info.subkeys, &info.max_subkey, nullptr, &info.values,
                          &info.max_value_name, &info.max_data, nullptr, nullptr) == ERROR_SUCCESS;
}

// Lists subkey or value names until the enumeration runs out.
template <typename Enum>
void ListNames(HKEY key, DWORD initial, std::vector<std::string>& names, Enum enumerate) {
  std::string buf(initial + 2, '\0');
  for (DWORD i = 0;;) {
    DWORD len = static_cast<DWORD>(buf.size());
    const LONG rc = enumerate(key, i, &buf[0], &len);
    if (rc == ERROR_MORE_DATA && buf.size() < kMaxNameBuffer) {
      buf.resize(buf.size() * 2);
      continue;
    }
    if (rc != ERROR_SUCCESS) break;
    names.emplace_back(buf.c_str());
    ++i;
  }
}

}  // namespace

WinRegistryStore::~WinRegistryStore() { ClosePath(); }

void WinRegistryStore::SelectRoot(RegRoot root) {
  HKEY key = root == RegRoot::ClassesRoot ? HKEY_CLASSES_ROOT : HKEY_CURRENT_USER;
  if (key != root_) ClosePath();
  root_ = key;
}

bool WinRegistryStore::OpenPath(const std::string& path, bool create) {
  return Open(path, create, KEY_ALL_ACCESS);
}

bool WinRegistryStore::OpenPathToRead(const std::string& path) { return Open(path, false, KEY_QUERY_VALUE); }

bool WinRegistryStore::Open(const std::string& path, bool create, REGSAM access) {
  const char* rest = path.c_str();
  HKEY base = current_ ? current_ : root_;
  if (rest[0] == '\\') {
    ++rest;
    base = root_;
  }
  HKEY key = nullptr;
  LONG rc;
  if (create && *rest) {
    rc = RegCreateKeyExA(base, rest, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &key, nullptr);
  } else {
    rc = RegOpenKeyExA(base, rest, 0, access, &key);
  }
  if (rc != ERROR_SUCCESS) return false;
  ClosePath();
  current_ = key;
  return true;
}

void WinRegistryStore::ClosePath() {
  if (current_) RegCloseKey(current_);
  current_ = nullptr;
}

void WinRegistryStore::ListSubkeys(std::vector<std::string>& names) {
  names.clear();
  KeyInfo info;
  if (!current_ || !QueryInfo(current_, info)) return;
  ListNames(current_, info.max_subkey, names, [](HKEY k, DWORD i, char* buf, DWORD* len) {
    return RegEnumKeyExA(k, i, buf, len, nullptr, nullptr, nullptr, nullptr);
  });
}

void WinRegistryStore::ListValues(std::vector<std::string>& names) {
  names.clear();
  KeyInfo info;
  if (!current_ || !QueryInfo(current_, info)) return;
  ListNames(current_, info.max_value_name, names, [](HKEY k, DWORD i, char* buf, DWORD* len) {
    return RegEnumValueA(k, i, buf, len, nullptr, nullptr, nullptr, nullptr);
  });
}

void WinRegistryStore::ListValueData(std::vector<RegValue>& values) {
  values.clear();
  KeyInfo info;
  if (!current_ || !QueryInfo(current_, info)) return;
  std::string name(info.max_value_name + 2, '\0');
  std::string data(info.max_data + 2, '\0');
  int retries = 0;
  for (DWORD i = 0;;) {
    DWORD name_len = static_cast<DWORD>(name.size());
    DWORD data_len = static_cast<DWORD>(data.size());
    DWORD type = 0;
    const LONG rc = RegEnumValueA(current_, i, &name[0], &name_len, nullptr, &type,
                                  reinterpret_cast<BYTE*>(&data[0]), &data_len);
    if (rc == ERROR_NO_MORE_ITEMS) break;
    if (rc == ERROR_MORE_DATA && ++retries < 32) {
      // The sizes given back are not always the ones needed; grow both.
      if (name.size() < kMaxNameBuffer) name.resize(name.size() * 2);
      data.resize(data_len > data.size() ? data_len + 2 : data.size() * 2);
      continue;
    }
    if (rc != ERROR_SUCCESS) throw GetFailed(std::string(name.c_str()));
    values.push_back(RegValue{std::string(name.c_str()), type, data.substr(0, data_len)});
    ++i;
    retries = 0;
  }
}

RegDataType WinRegistryStore::TypeOfValue(const std::string& name) {
  DWORD type = 0;
  if (!current_ || RegQueryValueExA(current_, name.c_str(), nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS) {
    return RegDataType::Other;
  }
  return DataTypeOf(type);
}

std::string WinRegistryStore::ReadText(const std::string& name) {
  if (!current_) throw GetFailed(name);
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExA(current_, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS || size == 0) {
    return std::string();
  }
  std::string data(size + 2, '\0');
  int retries = 0;
  for (;;) {
    size = static_cast<DWORD>(data.size());
    const LONG rc = RegQueryValueExA(current_, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data[0]), &size);
    if (rc == ERROR_MORE_DATA && ++retries < 32) {
      data.resize(size > data.size() ? size + 2 : data.size() * 2);
      continue;
    }
    if (rc != ERROR_SUCCESS) throw GetFailed(name);
    break;
  }
  if (type != REG_SZ && type != REG_EXPAND_SZ) throw BadType(name);
  data.resize(size);
  return std::string(data.c_str());
}

int32_t WinRegistryStore::ReadNumber(const std::string& name) {
  if (!current_) throw GetFailed(name);
  char bytes[4] = {0, 0, 0, 0};
  DWORD type = 0;
  DWORD size = sizeof bytes;
  if (RegQueryValueExA(current_, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(bytes), &size) !=
      ERROR_SUCCESS) {
    throw GetFailed(name);
  }
  if (type != REG_DWORD) throw BadType(name);
  return static_cast<int32_t>(DecodeDword(std::string_view(bytes, size)));
}

void WinRegistryStore::WriteText(const std::string& name, const std::string& text) {
  if (!current_ || RegSetValueExA(current_, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                  static_cast<DWORD>(text.size() + 1)) != ERROR_SUCCESS) {
    throw SetFailed(name);
  }
}

void WinRegistryStore::WriteNumber(const std::string& name, int32_t value) {
  const std::string bytes = EncodeDword(static_cast<uint32_t>(value));
  if (!current_ || RegSetValueExA(current_, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(bytes.data()),
                                  static_cast<DWORD>(bytes.size())) != ERROR_SUCCESS) {
    throw SetFailed(name);
  }
}

bool WinRegistryStore::RemoveValue(const std::string& name) {
  return current_ && RegDeleteValueA(current_, name.c_str()) == ERROR_SUCCESS;
}

RegistryStorePtr NewWinRegistryStore() { return std::make_unique<WinRegistryStore>(); }

}  // namespace panestow
