#include "registry/Snapshot.h"

#include <algorithm>
#include <string_view>
#include <unordered_set>

namespace panestow {

namespace {

// Packed data: numbers as base-128 varints, bytes as their count and
// themselves. A key is its value count, each value (name id, type, data),
// its subkey count and each subkey (name in UTF-8, then the key likewise).
void PutNumber(std::string& out, uint64_t v) {
  while (v >= 0x80) {
    out += static_cast<char>(0x80 | (v & 0x7F));
    v >>= 7;
  }
  out += static_cast<char>(v);
}

void PutBytes(std::string& out, std::string_view bytes) {
  PutNumber(out, bytes.size());
  out.append(bytes.data(), bytes.size());
}

constexpr size_t kBlockSize = 256 * 1024;

WideString Child(const WideString& path, const WideString& name) { return path + u"\\" + name; }

WideString Parent(const WideString& path) {
  const size_t cut = path.rfind(u'\\');
  return cut == WideString::npos ? WideString() : path.substr(0, cut);
}

char Fold(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::string Folded(std::string text) {
  for (char& c : text) c = Fold(c);
  return text;
}

uint64_t Hash(std::string_view folded) {
  uint64_t h = 1469598103934665603ull;
  for (unsigned char c : folded) h = (h ^ c) * 1099511628211ull;
  return h;
}

}  // namespace

class Snapshot::Unpacker {
 public:
  Unpacker(const Snapshot& snapshot, const Entry& entry)
      : names_(snapshot.names_), data_(*snapshot.blocks_[entry.block]), at_(entry.offset) {}
  uint64_t Number() {
    uint64_t v = 0;
    for (int shift = 0;; shift += 7) {
      const unsigned char b = static_cast<unsigned char>(data_[at_++]);
      v |= static_cast<uint64_t>(b & 0x7F) << shift;
      if (b < 0x80) return v;
    }
  }
  std::string_view Bytes() {
    const size_t n = static_cast<size_t>(Number());
    std::string_view out(data_.data() + at_, n);
    at_ += n;
    return out;
  }
  WideString Name() { return FromUtf8(Bytes()); }
  void Value(WideValue& v) {
    v.name = names_[static_cast<size_t>(Number())];
    v.type = static_cast<uint32_t>(Number());
    v.data.assign(Bytes());
  }

  bool Write(RegFileWriter& writer, const WideString& path) {
    if (!writer.BeginKey(path)) return false;
    WideValue v;
    for (uint64_t n = Number(); n > 0; --n) {
      Value(v);
      if (!writer.Value(v)) return false;
    }
    if (!writer.EndKey()) return false;
    for (uint64_t n = Number(); n > 0; --n) {
      const WideString name = Name();
      if (!Write(writer, Child(path, name))) return false;
    }
    return true;
  }

  void Skip() {
    WideValue v;
    for (uint64_t n = Number(); n > 0; --n) Value(v);
    for (uint64_t n = Number(); n > 0; --n) {
      Bytes();
      Skip();
    }
  }

  // Sets the values and makes the subkeys of `key`, which is empty.
  bool Restore(WideRegistry& wide, WideKey& key, const WideString& path) {
    bool ok = RestoreValues(wide, key);
    for (uint64_t n = Number(); n > 0; --n) {
      const WideString child = Child(path, Name());
      WideKeyPtr sub;
      if (wide.Create(child, sub)) {
        ok = Restore(wide, *sub, child) && ok;
      } else {
        ok = false;
        Skip();
      }
    }
    return ok;
  }

  bool RestoreValues(WideRegistry& wide, WideKey& key) {
    bool ok = true;
    WideValue v;
    for (uint64_t n = Number(); n > 0; --n) {
      Value(v);
      ok = wide.SetValue(key, v) && ok;
    }
    return ok;
  }

 private:
  const std::vector<WideString>& names_;
  const std::string& data_;
  size_t at_;
};

WideString NormalPath(const WideString& path) {
  WideString out;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find(u'\\', start);
    if (end == WideString::npos) end = path.size();
    if (end > start) {
      if (!out.empty()) out += u'\\';
      out.append(path, start, end - start);
    }
    start = end + 1;
  }
  return out;
}

std::string FoldedPath(const WideString& path) { return Folded(ToUtf8(path)); }

WideString Snapshot::Path(size_t entry) const {
  const Entry& e = entries_[entry];
  return FromUtf8(std::string_view(paths_).substr(e.path, e.path_size));
}

WideString Snapshot::CreatedRoot(size_t entry) const {
  const Entry& e = entries_[entry];
  return FromUtf8(std::string_view(paths_).substr(e.path, e.created_root_size));
}

std::string Snapshot::FoldedPathOf(const Entry& e) const { return Folded(paths_.substr(e.path, e.path_size)); }

int Snapshot::Find(const std::string& folded, size_t& slot) const {
  if (slots_.empty()) return -1;
  const size_t mask = slots_.size() - 1;
  for (slot = Hash(folded) & mask;; slot = (slot + 1) & mask) {
    const int entry = slots_[slot];
    if (entry < 0) return -1;
    const Entry& e = entries_[static_cast<size_t>(entry)];
    if (e.path_size != folded.size()) continue;
    bool same = true;
    for (size_t i = 0; same && i < folded.size(); ++i) same = Fold(paths_[e.path + i]) == folded[i];
    if (same) return entry;
  }
}

void Snapshot::Index(int entry) {
  // At most half full.
  if (2 * entries_.size() > slots_.size()) {
    std::vector<int32_t> old;
    old.swap(slots_);
    slots_.assign(old.empty() ? 64 : 2 * old.size(), -1);
    for (int32_t e : old) {
      if (e >= 0 && e != entry) Index(e);
    }
  }
  const Entry& e = entries_[static_cast<size_t>(entry)];
  const std::string folded = FoldedPathOf(e);
  size_t slot = 0;
  Find(folded, slot);
  slots_[slot] = entry;
}

uint32_t Snapshot::NameId(const std::string& utf8) {
  const auto known = name_ids_.find(utf8);
  if (known != name_ids_.end()) return known->second;
  const uint32_t id = static_cast<uint32_t>(names_.size());
  names_.push_back(FromUtf8(utf8));
  name_ids_.emplace(utf8, id);
  return id;
}

bool Snapshot::OpenAbove(WideRegistry& wide, const WideString& path, OpenResult& result) {
  const std::string folded = FoldedPath(path);
  const auto known = known_above_.find(folded);
  if (known != known_above_.end()) {
    result = known->second;
    return true;
  }
  WideKeyPtr key;
  result = wide.Open(path, key);
  if (result == OpenResult::Failed) return false;
  known_above_.emplace(folded, result);
  return true;
}

bool Snapshot::ReadKey(WideRegistry& wide, WideKey& key, const WideString& path, bool top, Entry& entry) {
  KeyCounts counts;
  if (!wide.Counts(key, counts)) return false;
  PutNumber(packing_, counts.values);
  WideValue v;
  for (uint32_t i = 0; i < counts.values; ++i) {
    if (!wide.EnumValue(key, i, v)) return false;
    if (top && entry.names_survive_ansi && !wide.ToAnsi(v.name, ansi_)) entry.names_survive_ansi = false;
    PutNumber(packing_, NameId(ToUtf8(v.name)));
    PutNumber(packing_, v.type);
    PutBytes(packing_, v.data);
  }
  if (top) {
    entry.has_subkeys = counts.subkeys > 0;
    entry.values = counts.values;
  }
  // The subkeys that open; one that does not leaves the subtree not whole.
  std::vector<WideString> names;
  std::vector<WideKeyPtr> subs;
  WideString name;
  for (uint32_t i = 0; i < counts.subkeys; ++i) {
    if (!wide.EnumSubkey(key, i, name)) return false;
    WideKeyPtr sub;
    const OpenResult r = wide.Open(Child(path, name), sub);
    if (r == OpenResult::Failed) return false;
    if (r != OpenResult::Opened) {
      entry.whole = false;
      continue;
    }
    names.push_back(name);
    subs.push_back(std::move(sub));
  }
  PutNumber(packing_, names.size());
  for (size_t i = 0; i < names.size(); ++i) {
    PutBytes(packing_, ToUtf8(names[i]));
    if (!ReadKey(wide, *subs[i], Child(path, names[i]), false, entry)) return false;
  }
  return true;
}

bool Snapshot::Add(WideRegistry& wide, const WideString& raw_path, int& entry) {
  WideString path = NormalPath(raw_path);
  size_t slot = 0;
  const int known = Find(FoldedPath(path), slot);
  if (known >= 0) {
    entry = entries_[static_cast<size_t>(known)].touched ? known : kNotTouched;
    return true;
  }
  WideKeyPtr key;
  const OpenResult r = wide.Open(path, key);
  Entry e;
  WideString created_root;
  if (r == OpenResult::Denied || r == OpenResult::Failed) {
    // The operation cannot open it either, and leaves it alone: a key it
    // may not open for all access, or a name the registry refuses.
    e.touched = false;
  } else if (r == OpenResult::Opened) {
    e.existed = true;
    // The key as the registry names it, which the file of an undo and a
    // key made anew must keep.
    WideString name;
    if (!wide.KeyName(*key, name)) return false;
    const WideString above = Parent(path);
    path = above.empty() ? name : above + u"\\" + name;
    OpenResult parent = OpenResult::Denied;
    if (!above.empty() && !OpenAbove(wide, above, parent)) return false;
    e.parent_opens = parent == OpenResult::Opened;
    packing_.clear();
    if (!ReadKey(wide, *key, path, true, e)) return false;
    if (blocks_.empty() || blocks_.back()->size() + packing_.size() > blocks_.back()->capacity()) {
      blocks_.push_back(std::make_unique<std::string>());
      blocks_.back()->reserve(packing_.size() > kBlockSize ? packing_.size() : kBlockSize);
    }
    e.block = static_cast<uint32_t>(blocks_.size() - 1);
    e.offset = static_cast<uint32_t>(blocks_.back()->size());
    blocks_.back()->append(packing_);
  } else {
    // Missing: what the operation creates reaches up to the topmost key
    // along the path that is missing too.
    created_root = path;
    for (WideString above = Parent(path); !above.empty() && FoldedPath(created_root) != highest_;
         above = Parent(above)) {
      OpenResult r_above;
      if (!OpenAbove(wide, above, r_above)) return false;
      if (r_above != OpenResult::Missing) break;
      created_root = above;
    }
  }
  const std::string utf8 = ToUtf8(path);
  e.path = static_cast<uint32_t>(paths_.size());
  e.path_size = static_cast<uint32_t>(utf8.size());
  e.created_root_size = static_cast<uint32_t>(ToUtf8(created_root).size());
  paths_ += utf8;
  entries_.push_back(e);
  const int index = static_cast<int>(entries_.size() - 1);
  Index(index);
  if (hold_keys_ && e.existed && !e.has_subkeys) {
    held_.resize(entries_.size());
    held_.back() = std::move(key);
  }
  entry = e.touched ? index : kNotTouched;
  return true;
}

WideKeyPtr Snapshot::TakeKey(size_t entry) { return entry < held_.size() ? std::move(held_[entry]) : nullptr; }

std::vector<bool> Snapshot::WithKeysBelow() const {
  // Each key above an entry's, by the hash of its folded path: an entry
  // whose own path is among them has a key below it (or shares a hash).
  std::unordered_set<uint64_t> above;
  for (const Entry& e : entries_) {
    if (!e.touched) continue;
    const std::string folded = FoldedPathOf(e);
    for (size_t cut = folded.rfind('\\'); cut != std::string::npos && cut > 0; cut = folded.rfind('\\', cut - 1)) {
      if (!above.insert(Hash(std::string_view(folded).substr(0, cut))).second) break;
    }
  }
  std::vector<bool> below(entries_.size(), false);
  for (size_t i = 0; i < entries_.size(); ++i) {
    below[i] = above.count(Hash(FoldedPathOf(entries_[i]))) != 0;
  }
  return below;
}

bool Snapshot::Whole() const {
  for (const Entry& e : entries_) {
    if (e.touched && !e.whole) return false;
  }
  return true;
}

namespace {

// `folded` is `key` or a key above it.
bool AtOrAbove(const std::string& folded, const std::string& key) {
  return folded == key || (key.size() > folded.size() && key.compare(0, folded.size(), folded) == 0 &&
                           key[folded.size()] == '\\');
}

}  // namespace

WideString Snapshot::DeletionRoot(size_t entry) const {
  const Entry& e = entries_[entry];
  if (e.existed) return Path(entry);
  const WideString root = CreatedRoot(entry);
  if (kept_.empty() || !AtOrAbove(FoldedPath(root), kept_)) return root;
  // Cut down to the key just below the kept one.
  const WideString path = Path(entry);
  const std::string folded = FoldedPathOf(e);
  if (!AtOrAbove(kept_, folded) || folded.size() <= kept_.size() + 1) return WideString();
  const size_t parts = static_cast<size_t>(std::count(kept_.begin(), kept_.end(), '\\')) + 1;
  size_t cut = 0;
  for (size_t n = 0; n <= parts && cut != WideString::npos; ++n) cut = path.find(u'\\', n == 0 ? 0 : cut + 1);
  return cut == WideString::npos ? path : path.substr(0, cut);
}

bool Snapshot::Write(RegFileWriter& writer) const {
  for (size_t i = 0; i < entries_.size(); ++i) {
    const Entry& e = entries_[i];
    if (!e.touched || !e.existed) continue;
    if (!e.whole || !e.parent_opens) return false;
    if (!kept_.empty() && AtOrAbove(FoldedPathOf(e), kept_)) return false;
  }
  for (size_t i = 0; i < entries_.size(); ++i) {
    const Entry& e = entries_[i];
    if (!e.touched) continue;
    const WideString root = DeletionRoot(i);
    if (!root.empty() && !writer.DeleteKey(root)) return false;
    if (!e.existed) continue;
    Unpacker in(*this, e);
    if (!in.Write(writer, Path(i))) return false;
  }
  return true;
}

bool Snapshot::RollBack(WideRegistry& wide, const std::vector<bool>* only, bool subtrees) const {
  bool ok = true;
  for (size_t i = 0; i < entries_.size(); ++i) {
    const Entry& e = entries_[i];
    if (!e.touched || (only && !(*only)[i])) continue;
    if (!e.existed) {
      ok = wide.DeleteTree(CreatedRoot(i)) && ok;
      continue;
    }
    const WideString path = Path(i);
    WideKeyPtr key;
    if (!wide.Create(path, key)) {
      ok = false;
      continue;
    }
    Unpacker in(*this, e);
    if (subtrees && e.whole) {
      ok = wide.Empty(*key) && in.Restore(wide, *key, path) && ok;
      continue;
    }
    // Its values only: every one it holds now goes, then the snapshot's
    // come back in their order.
    KeyCounts counts;
    std::vector<WideString> names;
    WideValue v;
    bool listed = wide.Counts(*key, counts);
    for (uint32_t k = 0; listed && k < counts.values; ++k) {
      listed = wide.EnumValue(*key, k, v);
      if (listed) names.push_back(v.name);
    }
    ok = listed && ok;
    for (const WideString& name : names) ok = wide.DeleteValue(*key, name) && ok;
    ok = in.RestoreValues(wide, *key) && ok;
  }
  return ok;
}

}  // namespace panestow
