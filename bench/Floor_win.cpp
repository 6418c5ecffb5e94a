#include "bench/Floor_win.h"

#include <windows.h>

#include <cstdint>
#include <cstring>

#include "app/Func_.h"

namespace panestow::bench {

namespace {

const char kJwCad[] = "Software\\Jw_cad\\jw_win";
const char kPlaceholderBytes[] = "\x81\x40";

void PutU32(std::string& out, uint32_t v) { out.append(reinterpret_cast<const char*>(&v), 4); }

void PutBytes(std::string& out, const std::string& bytes) {
  PutU32(out, static_cast<uint32_t>(bytes.size()));
  out += bytes;
}

uint32_t TakeU32(const char*& p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  p += 4;
  return v;
}

// Points at `len` bytes of the script and steps over them.
const char* TakeBytes(const char*& p, uint32_t& len) {
  len = TakeU32(p);
  const char* bytes = p;
  p += len;
  return bytes;
}

bool PassesFilter(const char* name) {
  char upper[256];
  size_t n = 0;
  for (; name[n] && n < sizeof upper - 1; ++n) {
    const char c = name[n];
    upper[n] = c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
  }
  upper[n] = '\0';
  static const char* const kExact[] = {"DIALOG", "FILEVIEW", "LAYERBAR", "LAYERGROUPBAR", "SETTINGS", "USERBAR"};
  for (const char* exact : kExact) {
    if (std::strcmp(upper, exact) == 0) return true;
  }
  return std::strstr(upper, "TOOLBAR-") != nullptr;
}

}  // namespace

std::string MakeRestoreScript(const LineList& lines) {
  std::string script;
  const int64_t end = lines.Count();
  const int32_t sections = StrToIntOrZero(lines.LineView(0));
  PutU32(script, static_cast<uint32_t>(sections > 0 ? sections : 0));
  int64_t i = 1;
  for (int32_t s = 0; s < sections; ++s) {
    const std::string_view header = lines.LineView(i++);
    const int32_t count = StrToIntOrZero(lines.LineView(i++));
    PutBytes(script, std::string(kJwCad) + "\\" + std::string(header.substr(1, header.size() - 2)) + '\0');
    std::string values;
    uint32_t written = 0;
    for (int32_t k = 0; k < count && i < end; ++k) {
      const std::string_view line = lines.LineView(i++);
      const size_t tab = line.find('\t');
      if (tab == std::string_view::npos) continue;
      const std::string name(line.substr(0, tab));
      const std::string data(line.substr(tab + 1));
      if (name.empty() || name == kPlaceholderBytes || data.empty() || data == kPlaceholderBytes) continue;
      if (data[0] == '"') {
        PutU32(values, REG_SZ);
        PutBytes(values, name + '\0');
        PutBytes(values, data.substr(1, data.size() >= 2 ? data.size() - 2 : 0) + '\0');
      } else {
        const uint32_t bits = static_cast<uint32_t>(StrToIntOrZero(data));
        PutU32(values, REG_DWORD);
        PutBytes(values, name + '\0');
        PutBytes(values, std::string(reinterpret_cast<const char*>(&bits), 4));
      }
      ++written;
    }
    PutU32(script, written);
    script += values;
  }
  return script;
}

bool FloorRestore(const std::string& script) {
  const char* p = script.data();
  const uint32_t sections = TakeU32(p);
  static char name[16384 + 2];
  std::string names;  // the names a key holds, each ended by a NUL
  for (uint32_t s = 0; s < sections; ++s) {
    uint32_t len;
    const char* path = TakeBytes(p, len);
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
      return false;
    }
    DWORD subkeys, max_subkey, values, max_name, max_data;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, &max_subkey, nullptr, &values, &max_name, &max_data,
                     nullptr, nullptr);
    names.clear();
    for (DWORD i = 0;; ++i) {
      DWORD name_len = sizeof name;
      if (RegEnumValueA(key, i, name, &name_len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      names.append(name, name_len + 1);
    }
    for (size_t at = 0; at < names.size(); at += std::strlen(names.c_str() + at) + 1) {
      RegDeleteValueA(key, names.c_str() + at);
    }
    const uint32_t count = TakeU32(p);
    for (uint32_t v = 0; v < count; ++v) {
      const DWORD type = TakeU32(p);
      const char* value_name = TakeBytes(p, len);
      const char* data = TakeBytes(p, len);
      if (RegSetValueExA(key, value_name, 0, type, reinterpret_cast<const BYTE*>(data), len) != ERROR_SUCCESS) {
        RegCloseKey(key);
        return false;
      }
    }
    RegCloseKey(key);
  }
  return true;
}

long FloorCapture() {
  HKEY jw;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kJwCad, 0, KEY_ALL_ACCESS, &jw) != ERROR_SUCCESS) return -1;
  DWORD subkeys, max_subkey, values, max_name, max_data;
  RegQueryInfoKeyA(jw, nullptr, nullptr, nullptr, &subkeys, &max_subkey, nullptr, &values, &max_name, &max_data,
                   nullptr, nullptr);
  static char name[16384 + 2];
  static BYTE data[1 << 16];
  std::string keys;  // subkey names, each ended by a NUL
  for (DWORD i = 0;; ++i) {
    DWORD len = sizeof name;
    if (RegEnumKeyExA(jw, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    keys.append(name, len + 1);
  }
  RegCloseKey(jw);

  long read = 0;
  std::string path = std::string(kJwCad) + "\\";
  const size_t base = path.size();
  for (size_t at = 0; at < keys.size(); at += std::strlen(keys.c_str() + at) + 1) {
    const char* subkey = keys.c_str() + at;
    if (!PassesFilter(subkey)) continue;
    path.resize(base);
    path += subkey;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) continue;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, &max_subkey, nullptr, &values, &max_name, &max_data,
                     nullptr, nullptr);
    for (DWORD i = 0;; ++i) {
      DWORD name_len = sizeof name, data_len = sizeof data, type;
      if (RegEnumValueA(key, i, name, &name_len, nullptr, &type, data, &data_len) != ERROR_SUCCESS) break;
      ++read;
    }
    RegCloseKey(key);
  }
  return read;
}

}  // namespace panestow::bench
