#include "registry/Snapshot.h"

#include <string_view>

namespace panestow {

namespace {

// Packed data: numbers as base-128 varints, strings as a length and their
// bytes, names in UTF-8 (ToUtf8, which keeps lone surrogates).
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

class Unpacker {
 public:
  Unpacker(const std::string& block, size_t at) : data_(block), at_(at) {}
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
    v.type = static_cast<uint32_t>(Number());
    v.name = Name();
    v.data.assign(Bytes());
  }

 private:
  const std::string& data_;
  size_t at_;
};

constexpr size_t kBlockSize = 256 * 1024;

WideString Child(const WideString& path, const WideString& name) { return path + u"\\" + name; }

WideString Parent(const WideString& path) {
  const size_t cut = path.rfind(u'\\');
  return cut == WideString::npos ? WideString() : path.substr(0, cut);
}

bool WriteTree(RegFileWriter& writer, const WideString& path, Unpacker& in) {
  if (!writer.BeginKey(path)) return false;
  WideValue v;
  for (uint64_t n = in.Number(); n > 0; --n) {
    in.Value(v);
    if (!writer.Value(v)) return false;
  }
  if (!writer.EndKey()) return false;
  for (uint64_t n = in.Number(); n > 0; --n) {
    const WideString name = in.Name();
    if (!WriteTree(writer, Child(path, name), in)) return false;
  }
  return true;
}

// Reads past a packed key and its subtree.
void SkipTree(Unpacker& in) {
  WideValue v;
  for (uint64_t n = in.Number(); n > 0; --n) in.Value(v);
  for (uint64_t n = in.Number(); n > 0; --n) {
    in.Bytes();
    SkipTree(in);
  }
}

// Sets the values and makes the subkeys of `key` as packed; it is empty.
bool RestoreTree(WideRegistry& wide, WideKey& key, const WideString& path, Unpacker& in) {
  bool ok = true;
  WideValue v;
  for (uint64_t n = in.Number(); n > 0; --n) {
    in.Value(v);
    ok = wide.SetValue(key, v) && ok;
  }
  for (uint64_t n = in.Number(); n > 0; --n) {
    const WideString child = Child(path, in.Name());
    WideKeyPtr sub;
    if (wide.Create(child, sub)) {
      ok = RestoreTree(wide, *sub, child, in) && ok;
    } else {
      ok = false;
      SkipTree(in);
    }
  }
  return ok;
}

}  // namespace

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

std::string FoldedPath(const WideString& path) {
  WideString folded = path;
  for (char16_t& c : folded) {
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
  }
  return ToUtf8(folded);
}

bool Snapshot::Exists(WideRegistry& wide, const WideString& path, bool& exists) {
  const std::string folded = FoldedPath(path);
  const auto known = known_exists_.find(folded);
  if (known != known_exists_.end()) {
    exists = known->second;
    return true;
  }
  WideKeyPtr key;
  const OpenResult r = wide.Open(path, key);
  if (r == OpenResult::Failed) return false;
  exists = r != OpenResult::Missing;
  known_exists_.emplace(folded, exists);
  return true;
}

bool Snapshot::Opens(WideRegistry& wide, const WideString& path, bool& opens) {
  const std::string folded = FoldedPath(path);
  const auto known = known_opens_.find(folded);
  if (known != known_opens_.end()) {
    opens = known->second;
    return true;
  }
  WideKeyPtr key;
  const OpenResult r = path.empty() ? OpenResult::Denied : wide.Open(path, key);
  if (r == OpenResult::Failed) return false;
  opens = r == OpenResult::Opened;
  known_opens_.emplace(folded, opens);
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
    PutNumber(packing_, v.type);
    PutBytes(packing_, ToUtf8(v.name));
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
  const WideString path = NormalPath(raw_path);
  const std::string folded = FoldedPath(path);
  const auto known = by_path_.find(folded);
  if (known != by_path_.end()) {
    entry = known->second;
    return true;
  }
  WideKeyPtr key;
  const OpenResult r = wide.Open(path, key);
  if (r == OpenResult::Failed) return false;
  if (r == OpenResult::Denied) {
    // The operation cannot open it either, and leaves it alone.
    by_path_.emplace(folded, kNotTouched);
    entry = kNotTouched;
    return true;
  }
  Entry e;
  e.path = path;
  Where where;
  if (r == OpenResult::Opened) {
    e.existed = true;
    // The key as the registry names it, which the file of an undo and a
    // key made anew must keep.
    WideString name;
    if (!wide.KeyName(*key, name)) return false;
    const WideString above = Parent(path);
    e.path = above.empty() ? name : above + u"\\" + name;
    if (!Opens(wide, above, e.parent_opens)) return false;
    packing_.clear();
    if (!ReadKey(wide, *key, path, true, e)) return false;
    if (blocks_.empty() || blocks_.back()->size() + packing_.size() > blocks_.back()->capacity()) {
      blocks_.push_back(std::make_unique<std::string>());
      blocks_.back()->reserve(packing_.size() > kBlockSize ? packing_.size() : kBlockSize);
    }
    where.block = static_cast<uint32_t>(blocks_.size() - 1);
    where.offset = static_cast<uint32_t>(blocks_.back()->size());
    blocks_.back()->append(packing_);
    for (WideString above = Parent(path); !above.empty(); above = Parent(above)) {
      if (!known_exists_.emplace(FoldedPath(above), true).second) break;
    }
  } else {
    // Missing: what the operation creates reaches up to the topmost key
    // along the path that is missing too.
    e.created_root = path;
    const std::string highest = FoldedPath(highest_);
    for (WideString above = Parent(path); !above.empty() && FoldedPath(e.created_root) != highest;
         above = Parent(above)) {
      bool exists = false;
      if (!Exists(wide, above, exists)) return false;
      if (exists) break;
      e.created_root = above;
    }
  }
  entry = static_cast<int>(entries_.size());
  entries_.push_back(std::move(e));
  where_.push_back(where);
  by_path_.emplace(folded, entry);
  return true;
}

bool Snapshot::Whole() const {
  for (const Entry& e : entries_) {
    if (!e.whole) return false;
  }
  return true;
}

bool Snapshot::Write(RegFileWriter& writer) const {
  for (const Entry& e : entries_) {
    if (e.existed && (!e.whole || !e.parent_opens)) return false;
  }
  for (size_t i = 0; i < entries_.size(); ++i) {
    const Entry& e = entries_[i];
    if (!writer.DeleteKey(e.existed ? e.path : e.created_root)) return false;
    if (!e.existed) continue;
    Unpacker in(*blocks_[where_[i].block], where_[i].offset);
    if (!WriteTree(writer, e.path, in)) return false;
  }
  return true;
}

bool Snapshot::RollBack(WideRegistry& wide, const std::vector<bool>* only, bool subtrees) const {
  bool ok = true;
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (only && !(*only)[i]) continue;
    const Entry& e = entries_[i];
    if (!e.existed) {
      ok = wide.DeleteTree(e.created_root) && ok;
      continue;
    }
    WideKeyPtr key;
    if (!wide.Create(e.path, key)) {
      ok = false;
      continue;
    }
    Unpacker in(*blocks_[where_[i].block], where_[i].offset);
    if (subtrees && e.whole) {
      ok = wide.Empty(*key) && RestoreTree(wide, *key, e.path, in) && ok;
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
      names.push_back(v.name);
    }
    ok = listed && ok;
    for (const WideString& name : names) ok = wide.DeleteValue(*key, name) && ok;
    for (uint64_t n = in.Number(); n > 0; --n) {
      in.Value(v);
      ok = wide.SetValue(*key, v) && ok;
    }
  }
  return ok;
}

}  // namespace panestow
