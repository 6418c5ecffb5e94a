#include "bench/Floor_win.h"

#include <windows.h>

#include <cstdint>
#include <cstring>

#include "layout/Capture.h"
#include "layout/LayoutFile.h"

namespace panestow::bench {

namespace {

void PutU32(std::string& out, uint32_t v) { out += EncodeDword(v); }

void PutBytes(std::string& out, const std::string& bytes) {
  PutU32(out, static_cast<uint32_t>(bytes.size()));
  out += bytes;
}

uint32_t TakeU32(const char*& p) {
  const uint32_t v = DecodeDword(std::string_view(p, 4));
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

}  // namespace

std::string MakeRestoreScript(const LineList& lines) {
  // The sections, key paths and values the product's own reading of the
  // file gives.
  std::string script;
  std::string values;
  uint32_t sections = 0;
  SectionReader reader(lines);
  LayoutSection section;
  ValueWrite write;
  while (reader.Next(section)) {
    if (section.names_jw_cad_key) continue;
    ++sections;
    PutBytes(script, std::string(kJwCadKeyPath) + "\\" + section.key_name + '\0');
    values.clear();
    uint32_t written = 0;
    for (int64_t i = section.first_line; i < section.first_line + section.value_lines; ++i) {
      if (!ReadValueLine(lines.LineView(i), write)) continue;
      PutU32(values, write.is_text ? REG_SZ : REG_DWORD);
      PutBytes(values, write.name + '\0');
      PutBytes(values, write.is_text ? write.text + '\0' : EncodeDword(static_cast<uint32_t>(write.number)));
      ++written;
    }
    PutU32(script, written);
    script += values;
  }
  std::string out;
  PutU32(out, sections);
  return out + script;
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
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kJwCadKeyPath, 0, KEY_ALL_ACCESS, &jw) != ERROR_SUCCESS) return -1;
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
  std::string path = std::string(kJwCadKeyPath) + "\\";
  const size_t base = path.size();
  for (size_t at = 0; at < keys.size(); at += std::strlen(keys.c_str() + at) + 1) {
    const char* subkey = keys.c_str() + at;
    if (!PassesCaptureFilter(subkey)) continue;
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
