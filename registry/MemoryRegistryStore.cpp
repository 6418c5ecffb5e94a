#include "registry/MemoryRegistryStore.h"

#include <algorithm>

#include "app/sjis.h"

namespace panestow {

namespace {

using Key = MemoryRegistry::Key;

// Names match without regard to the case of ASCII letters, as the registry
// does; double-byte characters are compared as they stand.
std::string Folded(const std::string& name) {
  std::string copy = name;
  SjisUpper(copy);
  return copy;
}

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && Folded(a) == Folded(b);
}

size_t CharCount(const std::string& s) {
  size_t n = 0;
  for (size_t i = 0; i < s.size(); i = std::max(SjisCharNext(s, i), i + 1)) ++n;
  return n;
}

std::vector<std::string> PathParts(const std::string& path) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t i = 0; i <= path.size(); ++i) {
    // The registry sees ANSI names converted to Unicode, so the byte 0x5C
    // inside a double-byte character is not a separator.
    if (i == path.size() || path[i] == '\\') {
      if (i > start) parts.push_back(path.substr(start, i - start));
      start = i + 1;
    } else if (SjisIsLeadByte(static_cast<unsigned char>(path[i])) && i + 1 < path.size()) {
      ++i;
    }
  }
  return parts;
}

// Looked up by name rather than walked: a Jw_cad key can hold thousands of
// toolbar subkeys.
Key* Subkey(Key* key, const std::string& name) {
  const auto it = key->by_name.find(Folded(name));
  return it == key->by_name.end() ? nullptr : it->second;
}

std::string Escaped(const std::string& s) {
  std::string out;
  for (unsigned char c : s) {
    if (c < 0x20 || c == 0x7F) {
      static const char kHex[] = "0123456789ABCDEF";
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

void DumpKey(const Key& key, const std::string& path, bool by_name, std::string& out) {
  for (const RegValue& v : key.values) {
    out += path + " : [" + Escaped(v.name) + "] type " + std::to_string(v.type) + " = " + Escaped(v.data) + "\n";
  }
  std::vector<const Key*> subkeys;
  for (const auto& sub : key.subkeys) subkeys.push_back(sub.get());
  if (by_name) {
    std::sort(subkeys.begin(), subkeys.end(),
              [](const Key* a, const Key* b) { return Folded(a->name) < Folded(b->name); });
  }
  for (const Key* sub : subkeys) {
    const std::string sub_path = path + "\\" + sub->name;
    out += sub_path + (sub->writable ? "\n" : " (no all access)\n");
    DumpKey(*sub, sub_path, by_name, out);
  }
}

}  // namespace

MemoryRegistry::MemoryRegistry() = default;

Key* MemoryRegistry::Root(RegRoot root) {
  return root == RegRoot::CurrentUser ? &current_user_ : &classes_root_;
}

Key* MemoryRegistry::Find(Key* from, const std::string& path) {
  Key* key = from;
  for (const std::string& part : PathParts(path)) {
    key = Subkey(key, part);
    if (!key) return nullptr;
  }
  return key;
}

Key* MemoryRegistry::Create(Key* from, const std::string& path) {
  Key* key = from;
  for (const std::string& part : PathParts(path)) {
    if (CharCount(part) > kMaxKeyNameChars) return nullptr;
    Key* next = Subkey(key, part);
    if (!next) {
      if (!key->writable) return nullptr;
      auto made = std::make_unique<Key>();
      made->name = part;
      made->parent = key;
      next = made.get();
      key->by_name.emplace(Folded(part), next);
      key->subkeys.push_back(std::move(made));
    }
    key = next;
  }
  return key;
}

RegValue* MemoryRegistry::FindValue(Key* key, const std::string& name) {
  for (RegValue& v : key->values) {
    if (SameName(v.name, name)) return &v;
  }
  return nullptr;
}

void MemoryRegistry::SetValue(Key* key, const std::string& name, uint32_t type, const std::string& data) {
  if (RegValue* v = FindValue(key, name)) {
    v->type = type;
    v->data = data;
    return;
  }
  key->values.push_back(RegValue{name, type, data});
}

bool MemoryRegistry::RemoveValue(Key* key, const std::string& name) {
  auto& values = key->values;
  for (auto it = values.begin(); it != values.end(); ++it) {
    if (SameName(it->name, name)) {
      values.erase(it);
      return true;
    }
  }
  return false;
}

void MemoryRegistry::Remove(Key* key) {
  Key* parent = key->parent;
  parent->by_name.erase(Folded(key->name));
  for (auto it = parent->subkeys.begin(); it != parent->subkeys.end(); ++it) {
    if (it->get() == key) {
      parent->subkeys.erase(it);
      return;
    }
  }
}

std::string MemoryRegistry::Dump(RegRoot root) {
  std::string out;
  DumpKey(*Root(root), "", false, out);
  return out;
}

std::string MemoryRegistry::DumpByName(RegRoot root) {
  std::string out;
  DumpKey(*Root(root), "", true, out);
  return out;
}

MemoryRegistryStore::MemoryRegistryStore(MemoryRegistry& registry) : registry_(registry) {}

void MemoryRegistryStore::SelectRoot(RegRoot root) {
  registry_.Fails("SelectRoot");
  if (root != root_) current_ = nullptr;
  root_ = root;
}

bool MemoryRegistryStore::OpenPath(const std::string& path, bool create) {
  if (registry_.Fails("OpenPath")) return false;
  std::string rest = path;
  Key* base = current_ ? current_ : registry_.Root(root_);
  if (!rest.empty() && rest[0] == '\\') {
    rest.erase(0, 1);
    base = registry_.Root(root_);
  }
  Key* key = (create && !rest.empty()) ? MemoryRegistry::Create(base, rest) : MemoryRegistry::Find(base, rest);
  if (!key || !key->writable) return false;
  current_ = key;
  read_only_ = false;
  return true;
}

bool MemoryRegistryStore::OpenPathToRead(const std::string& path) {
  if (registry_.Fails("OpenPathToRead")) return false;
  const bool from_root = !path.empty() && path[0] == '\\';
  Key* base = current_ && !from_root ? current_ : registry_.Root(root_);
  Key* key = MemoryRegistry::Find(base, from_root ? path.substr(1) : path);
  if (!key) return false;
  current_ = key;
  read_only_ = true;
  return true;
}

void MemoryRegistryStore::ClosePath() {
  registry_.Fails("ClosePath");
  current_ = nullptr;
}

void MemoryRegistryStore::ListSubkeys(std::vector<std::string>& names) {
  names.clear();
  if (registry_.Fails("ListSubkeys") || !current_) return;
  for (const auto& sub : current_->subkeys) names.push_back(sub->name);
}

void MemoryRegistryStore::ListValues(std::vector<std::string>& names) {
  names.clear();
  if (registry_.Fails("ListValues") || !current_) return;
  for (const RegValue& v : current_->values) names.push_back(v.name);
}

void MemoryRegistryStore::ListValueData(std::vector<RegValue>& values) {
  values.clear();
  if (registry_.Fails("ListValueData")) throw GetFailed("");
  if (!current_) return;
  values = current_->values;
}

RegDataType MemoryRegistryStore::TypeOfValue(const std::string& name) {
  const RegValue* v =
      !registry_.Fails("TypeOfValue") && current_ ? MemoryRegistry::FindValue(current_, name) : nullptr;
  return v ? DataTypeOf(v->type) : RegDataType::Other;
}

std::string MemoryRegistryStore::ReadText(const std::string& name) {
  if (registry_.Fails("ReadText")) throw GetFailed(name);
  const RegValue* v = current_ ? MemoryRegistry::FindValue(current_, name) : nullptr;
  if (!v || v->data.empty()) return std::string();
  if (v->type != kRegSz && v->type != kRegExpandSz) throw BadType(name);
  return std::string(v->data.c_str());
}

int32_t MemoryRegistryStore::ReadNumber(const std::string& name) {
  if (registry_.Fails("ReadNumber")) throw GetFailed(name);
  const RegValue* v = current_ ? MemoryRegistry::FindValue(current_, name) : nullptr;
  if (!v || v->data.size() > 4) throw GetFailed(name);
  if (v->type != kRegDword) throw BadType(name);
  return static_cast<int32_t>(DecodeDword(v->data));
}

void MemoryRegistryStore::WriteText(const std::string& name, const std::string& text) {
  if (registry_.Fails("WriteText") || !current_ || read_only_ ||
      CharCount(name) > MemoryRegistry::kMaxValueNameChars) {
    throw SetFailed(name);
  }
  MemoryRegistry::SetValue(current_, name, kRegSz, text + std::string(1, '\0'));
}

void MemoryRegistryStore::WriteNumber(const std::string& name, int32_t value) {
  if (registry_.Fails("WriteNumber") || !current_ || read_only_ ||
      CharCount(name) > MemoryRegistry::kMaxValueNameChars) {
    throw SetFailed(name);
  }
  MemoryRegistry::SetValue(current_, name, kRegDword, EncodeDword(static_cast<uint32_t>(value)));
}

bool MemoryRegistryStore::RemoveValue(const std::string& name) {
  if (registry_.Fails("RemoveValue") || !current_ || read_only_) return false;
  return MemoryRegistry::RemoveValue(current_, name);
}

WideString WideSpelling(const std::string& ansi) {
  WideString wide;
  wide.reserve(ansi.size());
  for (size_t i = 0; i < ansi.size();) {
    const unsigned char b = static_cast<unsigned char>(ansi[i]);
    const size_t next = std::max(SjisCharNext(ansi, i), i + 1);
    if (next - i == 2) {
      wide += static_cast<char16_t>(0xF600 + b);
      wide += static_cast<char16_t>(0xF500 + static_cast<unsigned char>(ansi[i + 1]));
    } else {
      wide += static_cast<char16_t>(b < 0x80 ? b : 0xF700 + b);
    }
    i = next;
  }
  return wide;
}

bool AnsiSpelling(const WideString& wide, std::string& ansi) {
  ansi.clear();
  for (size_t i = 0; i < wide.size(); ++i) {
    const char16_t c = wide[i];
    if (c < 0x80) {
      ansi += static_cast<char>(c);
    } else if (c >= 0xF700 && c <= 0xF7FF) {
      ansi += static_cast<char>(c - 0xF700);
    } else if (c >= 0xF600 && c <= 0xF6FF && i + 1 < wide.size() && wide[i + 1] >= 0xF500 && wide[i + 1] <= 0xF5FF) {
      ansi += static_cast<char>(c - 0xF600);
      ansi += static_cast<char>(wide[++i] - 0xF500);
    } else {
      return false;
    }
  }
  // Only the one spelling of each name counts.
  return WideSpelling(ansi) == wide;
}

namespace {

struct MemoryWideKey : WideKey {
  explicit MemoryWideKey(Key* k) : key(k) {}
  Key* key;
};

Key* KeyOf(WideKey& key) { return static_cast<MemoryWideKey&>(key).key; }

}  // namespace

bool MemoryWideRegistry::KeyName(WideKey& key, WideString& name) {
  if (registry_.Fails("WideKeyName")) return false;
  name = WideSpelling(KeyOf(key)->name);
  return true;
}

Key* MemoryWideRegistry::Find(const WideString& path) {
  std::string ansi;
  if (!AnsiSpelling(path, ansi)) return nullptr;
  return MemoryRegistry::Find(registry_.Root(RegRoot::CurrentUser), ansi);
}

OpenResult MemoryWideRegistry::Open(const WideString& path, WideKeyPtr& key) {
  if (registry_.Fails("WideOpen")) return OpenResult::Failed;
  // A name longer than the registry takes is refused, not just missing (as
  // Windows may answer; Wine says there is no such key).
  std::string ansi;
  if (AnsiSpelling(path, ansi)) {
    for (const std::string& part : PathParts(ansi)) {
      if (CharCount(part) > MemoryRegistry::kMaxKeyNameChars) return OpenResult::Failed;
    }
  }
  Key* k = Find(path);
  if (!k) return OpenResult::Missing;
  if (!k->writable) return OpenResult::Denied;
  key = std::make_unique<MemoryWideKey>(k);
  return OpenResult::Opened;
}

bool MemoryWideRegistry::Create(const WideString& path, WideKeyPtr& key) {
  std::string ansi;
  if (registry_.Fails("WideCreate") || !AnsiSpelling(path, ansi)) return false;
  Key* k = MemoryRegistry::Create(registry_.Root(RegRoot::CurrentUser), ansi);
  if (!k || !k->writable) return false;
  key = std::make_unique<MemoryWideKey>(k);
  return true;
}

bool MemoryWideRegistry::Counts(WideKey& key, KeyCounts& counts) {
  if (registry_.Fails("WideCounts")) return false;
  counts.subkeys = static_cast<uint32_t>(KeyOf(key)->subkeys.size());
  counts.values = static_cast<uint32_t>(KeyOf(key)->values.size());
  return true;
}

bool MemoryWideRegistry::EnumValue(WideKey& key, uint32_t index, WideValue& value) {
  const Key* k = KeyOf(key);
  if (registry_.Fails("WideEnumValue") || index >= k->values.size()) return false;
  const RegValue& v = k->values[index];
  value.name = WideSpelling(v.name);
  value.type = v.type;
  value.data = v.data;
  return true;
}

bool MemoryWideRegistry::EnumSubkey(WideKey& key, uint32_t index, WideString& name) {
  const Key* k = KeyOf(key);
  if (registry_.Fails("WideEnumSubkey") || index >= k->subkeys.size()) return false;
  name = WideSpelling(k->subkeys[index]->name);
  return true;
}

bool MemoryWideRegistry::SetValue(WideKey& key, const WideValue& value) {
  std::string name;
  if (registry_.Fails("WideSetValue") || !AnsiSpelling(value.name, name) ||
      CharCount(name) > MemoryRegistry::kMaxValueNameChars) {
    return false;
  }
  MemoryRegistry::SetValue(KeyOf(key), name, value.type, value.data);
  return true;
}

bool MemoryWideRegistry::DeleteValue(WideKey& key, const WideString& name) {
  std::string ansi;
  if (registry_.Fails("WideDeleteValue") || !AnsiSpelling(name, ansi)) return false;
  return MemoryRegistry::RemoveValue(KeyOf(key), ansi);
}

bool MemoryWideRegistry::Empty(WideKey& key) {
  if (registry_.Fails("WideEmpty")) return false;
  Key* k = KeyOf(key);
  k->values.clear();
  k->by_name.clear();
  k->subkeys.clear();
  return true;
}

bool MemoryWideRegistry::DeleteKey(const WideString& path) {
  if (registry_.Fails("WideDeleteKey")) return false;
  Key* k = Find(path);
  if (!k || !k->parent || !k->subkeys.empty() || !k->writable) return false;
  MemoryRegistry::Remove(k);
  return true;
}

bool MemoryWideRegistry::DeleteOpenKey(WideKey& key) {
  if (registry_.Fails("WideDeleteOpenKey")) return false;
  Key*& k = static_cast<MemoryWideKey&>(key).key;
  if (!k || !k->parent || !k->subkeys.empty() || !k->writable) return false;
  MemoryRegistry::Remove(k);
  k = nullptr;
  return true;
}

bool MemoryWideRegistry::DeleteTree(const WideString& path) {
  if (registry_.Fails("WideDeleteTree")) return false;
  Key* k = Find(path);
  if (!k) return true;
  if (!k->parent) return false;
  MemoryRegistry::Remove(k);
  return true;
}

}  // namespace panestow
