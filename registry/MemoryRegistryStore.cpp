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

void DumpKey(const Key& key, const std::string& path, std::string& out) {
  for (const RegValue& v : key.values) {
    out += path + " : [" + Escaped(v.name) + "] type " + std::to_string(v.type) + " = " + Escaped(v.data) + "\n";
  }
  for (const auto& sub : key.subkeys) {
    const std::string sub_path = path + "\\" + sub->name;
    out += sub_path + "\n";
    DumpKey(*sub, sub_path, out);
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

std::string MemoryRegistry::Dump(RegRoot root) {
  std::string out;
  DumpKey(*Root(root), "", out);
  return out;
}

MemoryRegistryStore::MemoryRegistryStore(MemoryRegistry& registry) : registry_(registry) {}

void MemoryRegistryStore::SelectRoot(RegRoot root) {
  ++registry_.operations;
  if (root != root_) current_ = nullptr;
  root_ = root;
}

bool MemoryRegistryStore::OpenPath(const std::string& path, bool create) {
  ++registry_.operations;
  std::string rest = path;
  Key* base = current_ ? current_ : registry_.Root(root_);
  if (!rest.empty() && rest[0] == '\\') {
    rest.erase(0, 1);
    base = registry_.Root(root_);
  }
  Key* key = (create && !rest.empty()) ? MemoryRegistry::Create(base, rest) : MemoryRegistry::Find(base, rest);
  if (!key || !key->writable) return false;
  current_ = key;
  return true;
}

void MemoryRegistryStore::ClosePath() {
  ++registry_.operations;
  current_ = nullptr;
}

void MemoryRegistryStore::ListSubkeys(std::vector<std::string>& names) {
  ++registry_.operations;
  names.clear();
  if (!current_) return;
  for (const auto& sub : current_->subkeys) names.push_back(sub->name);
}

void MemoryRegistryStore::ListValues(std::vector<std::string>& names) {
  ++registry_.operations;
  names.clear();
  if (!current_) return;
  for (const RegValue& v : current_->values) names.push_back(v.name);
}

void MemoryRegistryStore::ListValueData(std::vector<RegValue>& values) {
  ++registry_.operations;
  values.clear();
  if (!current_) return;
  values = current_->values;
}

RegDataType MemoryRegistryStore::TypeOfValue(const std::string& name) {
  ++registry_.operations;
  const RegValue* v = current_ ? MemoryRegistry::FindValue(current_, name) : nullptr;
  return v ? DataTypeOf(v->type) : RegDataType::Other;
}

std::string MemoryRegistryStore::ReadText(const std::string& name) {
  ++registry_.operations;
  const RegValue* v = current_ ? MemoryRegistry::FindValue(current_, name) : nullptr;
  if (!v || v->data.empty()) return std::string();
  if (v->type != kRegSz && v->type != kRegExpandSz) throw BadType(name);
  return std::string(v->data.c_str());
}

int32_t MemoryRegistryStore::ReadNumber(const std::string& name) {
  ++registry_.operations;
  const RegValue* v = current_ ? MemoryRegistry::FindValue(current_, name) : nullptr;
  if (!v || v->data.size() > 4) throw GetFailed(name);
  if (v->type != kRegDword) throw BadType(name);
  return static_cast<int32_t>(DecodeDword(v->data));
}

void MemoryRegistryStore::WriteText(const std::string& name, const std::string& text) {
  ++registry_.operations;
  if (!current_ || CharCount(name) > MemoryRegistry::kMaxValueNameChars) throw SetFailed(name);
  MemoryRegistry::SetValue(current_, name, kRegSz, text + std::string(1, '\0'));
}

void MemoryRegistryStore::WriteNumber(const std::string& name, int32_t value) {
  ++registry_.operations;
  if (!current_ || CharCount(name) > MemoryRegistry::kMaxValueNameChars) throw SetFailed(name);
  MemoryRegistry::SetValue(current_, name, kRegDword, EncodeDword(static_cast<uint32_t>(value)));
}

bool MemoryRegistryStore::RemoveValue(const std::string& name) {
  ++registry_.operations;
  if (!current_) return false;
  auto& values = current_->values;
  for (auto it = values.begin(); it != values.end(); ++it) {
    if (SameName(it->name, name)) {
      values.erase(it);
      return true;
    }
  }
  return false;
}

}  // namespace panestow
