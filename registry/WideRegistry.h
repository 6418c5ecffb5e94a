// The registry through its wide-character functions, for what must come
// back exactly: the keys a restore touches as they were before it, their
// rollback, and the undo. Names are UTF-16 as the registry keeps them and
// data the stored bytes, so nothing is lost to the ANSI code page. Every
// path starts at the root of HKEY_CURRENT_USER, its parts separated by
// backslashes. (The layout file and the registry store stay ANSI.)
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace panestow {

using WideString = std::u16string;

struct WideValue {
  WideString name;  // empty: the key's default value
  uint32_t type = 0;
  std::string data;  // the stored bytes; UTF-16 for the string types
};

inline bool operator==(const WideValue& a, const WideValue& b) {
  return a.name == b.name && a.type == b.type && a.data == b.data;
}

// A key opened for all access; closed when released.
class WideKey {
 public:
  virtual ~WideKey() = default;
};
using WideKeyPtr = std::unique_ptr<WideKey>;

enum class OpenResult {
  Opened,
  Missing,  // there is no such key
  Denied,   // it exists but may not be opened for all access
  Failed,   // any other reason
};

struct KeyCounts {
  uint32_t subkeys = 0;
  uint32_t values = 0;
};

class WideRegistry {
 public:
  virtual ~WideRegistry() = default;

  // ANSI text of the system code page in UTF-16, converted as the
  // registry's ANSI functions convert names and paths.
  virtual WideString FromAnsi(std::string_view ansi) = 0;
  // `wide` in the ANSI code page; false unless it comes back unchanged, so
  // that the ANSI functions name exactly it.
  virtual bool ToAnsi(const WideString& wide, std::string& ansi) = 0;

  virtual OpenResult Open(const WideString& path, WideKeyPtr& key) = 0;
  // Opens the key, creating it and every missing key above it.
  virtual bool Create(const WideString& path, WideKeyPtr& key) = 0;

  // The key's own name (the last part of its path) as the registry keeps
  // it, letter case included.
  virtual bool KeyName(WideKey& key, WideString& name) = 0;
  virtual bool Counts(WideKey& key, KeyCounts& counts) = 0;
  // The value or subkey at `index` of the enumeration; false when there is
  // none or it cannot be read.
  virtual bool EnumValue(WideKey& key, uint32_t index, WideValue& value) = 0;
  virtual bool EnumSubkey(WideKey& key, uint32_t index, WideString& name) = 0;

  // Sets a value of any type and data, replacing one of the same name.
  virtual bool SetValue(WideKey& key, const WideValue& value) = 0;
  virtual bool DeleteValue(WideKey& key, const WideString& name) = 0;
  // Deletes every value and subkey of the key, which stays.
  virtual bool Empty(WideKey& key) = 0;

  // Deletes the key when it has no subkeys; false when it has or cannot
  // be deleted.
  virtual bool DeleteKey(const WideString& path) = 0;
  // The same for a key already open, in one call where DeleteKey takes
  // three; afterwards `key` names nothing and is only to be released.
  virtual bool DeleteOpenKey(WideKey& key) = 0;
  // Deletes the key with everything below it; true when it is gone
  // afterwards, also when there was none.
  virtual bool DeleteTree(const WideString& path) = 0;
};

using WideRegistryPtr = std::unique_ptr<WideRegistry>;

// UTF-16 to UTF-8 and back, lone surrogates included (each as the three
// bytes UTF-8 would give it), so that any UTF-16 string comes back exactly.
std::string ToUtf8(const WideString& text);
WideString FromUtf8(std::string_view text);

}  // namespace panestow
