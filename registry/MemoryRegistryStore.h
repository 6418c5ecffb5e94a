// A registry held in memory, with the contract of the real one, for tests
// and fuzzing. One MemoryRegistry holds the keys; each store object made
// over it has its own root and current key, like a store over the real
// registry, and its wide view (MemoryWideRegistry) reaches the same keys.
//
// Names are kept as the ANSI store sees them (Shift-JIS). The wide view
// spells each character in UTF-16 code units: ASCII as itself, any other
// single byte as U+F700 + the byte, a double-byte character as U+F600 +
// its lead byte and U+F500 + its trail byte. The spelling goes both ways
// exactly and never puts a backslash into a name; data are passed as
// stored, of every type.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "registry/RegistryStore.h"
#include "registry/WideRegistry.h"

namespace panestow {

class MemoryRegistry {
 public:
  struct Key {
    std::string name;
    Key* parent = nullptr;
    std::vector<std::unique_ptr<Key>> subkeys;  // in creation order
    std::unordered_map<std::string, Key*> by_name;  // subkeys by upper-cased name
    std::vector<RegValue> values;               // in creation order
    bool writable = true;  // false: opening for all access is refused, to read works
  };

  // The limits the real registry sets, so that the same inputs fail here.
  static constexpr size_t kMaxKeyNameChars = 255;
  static constexpr size_t kMaxValueNameChars = 16383;

  MemoryRegistry();

  Key* Root(RegRoot root);

  // Walks `path` (backslash-separated, empty parts skipped) from `from`;
  // null when a key is missing.
  static Key* Find(Key* from, const std::string& path);
  // As Find, creating missing keys; null when a name is too long or a key
  // that would get a new subkey is not writable.
  static Key* Create(Key* from, const std::string& path);

  static RegValue* FindValue(Key* key, const std::string& name);
  // Sets a value of any type and data, replacing one of the same name.
  static void SetValue(Key* key, const std::string& name, uint32_t type, const std::string& data);
  // Removes the value of that name; false when there is none.
  static bool RemoveValue(Key* key, const std::string& name);

  // Conveniences for tests, from the root of HKEY_CURRENT_USER.
  Key* Create(const std::string& path) { return Create(Root(RegRoot::CurrentUser), path); }
  Key* Find(const std::string& path) { return Find(Root(RegRoot::CurrentUser), path); }

  // Every key and value under `root`, one per line, for comparing trees:
  // subkeys in creation order, or by name as the registry lists them
  // (values stay in their order either way).
  std::string Dump(RegRoot root);
  std::string DumpByName(RegRoot root);

  // Counts every operation made through a store or the wide view, to see
  // what work an operation did.
  long operations = 0;
  // When not 0, the operation that brings `operations` to this number
  // fails, as the real registry's call would; `failed` names it then.
  long fail_at = 0;
  const char* failed = nullptr;
  // Counts one operation; true when it is the one that fails.
  bool Fails(const char* operation) {
    if (++operations != fail_at) return false;
    failed = operation;
    return true;
  }

  // Removes `key` (not a root) with everything below it.
  static void Remove(Key* key);

 private:
  Key current_user_;
  Key classes_root_;
};

class MemoryRegistryStore : public RegistryStore {
 public:
  explicit MemoryRegistryStore(MemoryRegistry& registry);

  void SelectRoot(RegRoot root) override;
  bool OpenPath(const std::string& path, bool create) override;
  bool OpenPathToRead(const std::string& path) override;
  void ClosePath() override;
  void ListSubkeys(std::vector<std::string>& names) override;
  void ListValues(std::vector<std::string>& names) override;
  void ListValueData(std::vector<RegValue>& values) override;
  RegDataType TypeOfValue(const std::string& name) override;
  std::string ReadText(const std::string& name) override;
  int32_t ReadNumber(const std::string& name) override;
  void WriteText(const std::string& name, const std::string& text) override;
  void WriteNumber(const std::string& name, int32_t value) override;
  bool RemoveValue(const std::string& name) override;

 private:
  MemoryRegistry& registry_;
  RegRoot root_ = RegRoot::CurrentUser;
  MemoryRegistry::Key* current_ = nullptr;
  bool read_only_ = false;  // the current key was opened to read
};

// The wide spelling of an ANSI name, and back; false for a spelling that
// no ANSI name has.
WideString WideSpelling(const std::string& ansi);
bool AnsiSpelling(const WideString& wide, std::string& ansi);

// The wide view of the keys under HKEY_CURRENT_USER. A key it opened must
// not be used after that key was deleted.
class MemoryWideRegistry : public WideRegistry {
 public:
  explicit MemoryWideRegistry(MemoryRegistry& registry) : registry_(registry) {}

  WideString FromAnsi(std::string_view ansi) override { return WideSpelling(std::string(ansi)); }
  bool ToAnsi(const WideString& wide, std::string& ansi) override { return AnsiSpelling(wide, ansi); }
  bool KeyName(WideKey& key, WideString& name) override;
  OpenResult Open(const WideString& path, WideKeyPtr& key) override;
  bool Create(const WideString& path, WideKeyPtr& key) override;
  bool Counts(WideKey& key, KeyCounts& counts) override;
  bool EnumValue(WideKey& key, uint32_t index, WideValue& value) override;
  bool EnumSubkey(WideKey& key, uint32_t index, WideString& name) override;
  bool SetValue(WideKey& key, const WideValue& value) override;
  bool DeleteValue(WideKey& key, const WideString& name) override;
  bool Empty(WideKey& key) override;
  bool DeleteKey(const WideString& path) override;
  bool DeleteOpenKey(WideKey& key) override;
  bool DeleteTree(const WideString& path) override;

 private:
  MemoryRegistry::Key* Find(const WideString& path);
  MemoryRegistry& registry_;
};

}  // namespace panestow
