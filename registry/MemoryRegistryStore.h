// A registry held in memory, with the contract of the real one, for tests
// and fuzzing. One MemoryRegistry holds the keys; each store object made
// over it has its own root and current key, like a store over the real
// registry.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "registry/RegistryStore.h"

namespace panestow {

class MemoryRegistry {
 public:
  struct Key {
    std::string name;
    Key* parent = nullptr;
    std::vector<std::unique_ptr<Key>> subkeys;  // in creation order
    std::unordered_map<std::string, Key*> by_name;  // subkeys by upper-cased name
    std::vector<RegValue> values;               // in creation order
    bool writable = true;  // false: opening for all access is refused
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

  // Conveniences for tests, from the root of HKEY_CURRENT_USER.
  Key* Create(const std::string& path) { return Create(Root(RegRoot::CurrentUser), path); }
  Key* Find(const std::string& path) { return Find(Root(RegRoot::CurrentUser), path); }

  // Every key and value under `root`, one per line, for comparing trees.
  std::string Dump(RegRoot root);

  // Counts every operation made through a store, to see what work an
  // operation did.
  long operations = 0;

 private:
  Key current_user_;
  Key classes_root_;
};

class MemoryRegistryStore : public RegistryStore {
 public:
  explicit MemoryRegistryStore(MemoryRegistry& registry);

  void SelectRoot(RegRoot root) override;
  bool OpenPath(const std::string& path, bool create) override;
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
};

}  // namespace panestow
