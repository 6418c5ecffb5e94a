// The keys an operation is about to change, as they are before it: read
// through the wide view, kept in memory, written as a registry file, and
// put back.
//
// For each key: whether it existed, and for a missing one the topmost key
// along its path that was missing too (what the operation will create);
// every value of an existing key with its name, type and bytes, in
// enumeration order; and its subkeys, whole. Values are packed a few bytes
// each, their names kept once however many keys share them, so that even
// a layout near the line list's capacity stays small in memory.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "registry/RegFile.h"
#include "registry/WideRegistry.h"

namespace panestow {

// The path with empty parts dropped, and a form of it that compares without
// regard to the case of ASCII letters.
WideString NormalPath(const WideString& path);
std::string FoldedPath(const WideString& path);

class Snapshot {
 public:
  struct Entry {
    bool touched = true;             // false: it cannot be opened for all access and is left alone
    bool existed = false;
    bool has_subkeys = false;        // existed: it had subkeys
    bool parent_opens = false;       // existed: the key above it opens for all access, so it can be made anew
    bool whole = true;               // existed: every key of its subtree could be read
    bool names_survive_ansi = true;  // existed: the ANSI functions can name each of its values
    uint32_t values = 0;             // existed: how many values it had
   private:
    friend class Snapshot;
    uint32_t path = 0;               // where its path lies in paths_ (UTF-8)
    uint32_t path_size = 0;
    uint32_t created_root_size = 0;  // missing: the length of the path's part that is created
    uint32_t block = 0;              // existed: where its values and subtree lie
    uint32_t offset = 0;
  };

  static constexpr int kNotTouched = -1;

  // `highest`: no key above it counts as created by the operation (the
  // parts of a path above it are taken to be there), so that nothing above
  // it is ever deleted again.
  // `hold_keys`: the key of each entry that existed without subkeys stays
  // open as the snapshot read it, for TakeKey.
  explicit Snapshot(WideString highest = WideString(), bool hold_keys = false)
      : highest_(FoldedPath(NormalPath(highest))), hold_keys_(hold_keys) {}

  // The file (Write) never deletes `key` or any key above it, though the
  // operation may have created them: another program may have filled them
  // since. Its deletion lines for a missing key start at the highest key
  // created below `key`. (A rollback, which follows at once, still takes
  // back everything created.)
  void KeepInFile(const WideString& key) { kept_ = FoldedPath(NormalPath(key)); }

  // The entry of `path` (empty parts of it skipped), read now when the key
  // is new to the snapshot; kNotTouched when the key cannot be opened, for
  // all access or at all (a name the registry refuses), which an operation
  // then leaves alone. False when a key above it or below it could not be
  // opened or a read failed part-way: the snapshot is then not to be
  // trusted.
  bool Add(WideRegistry& wide, const WideString& path, int& entry);

  const std::vector<Entry>& entries() const { return entries_; }
  // The entry's path, its key's own name as the registry has it; for a
  // missing key, the topmost key along the path that was missing too.
  WideString Path(size_t entry) const;
  WideString CreatedRoot(size_t entry) const;

  // The key the snapshot holds open for the entry, given once; null when
  // it holds none.
  WideKeyPtr TakeKey(size_t entry);

  // For each entry, whether another touched entry's key lies below it (some
  // may be marked so that have none, never the other way round).
  std::vector<bool> WithKeysBelow() const;

  // True when every entry's subtree could be read whole.
  bool Whole() const;

  // The entries as a registry file that gives back their state: for each,
  // the deletion of the key (or of the topmost key that was missing along
  // its path, but never the kept key or above), then a key that existed
  // with every value, and each subkey likewise. False when a subtree is
  // not whole, as such a file would lose what it could not read, when a
  // key's parent would not let it be made anew after its deletion, or when
  // an existing key is the kept key or above it.
  bool Write(RegFileWriter& writer) const;

  // Puts the entries back as the snapshot holds them; with `only`, just
  // those whose flag is set. A missing one is deleted again with what was
  // created below it. A key that existed keeps its place and gets back its
  // values, in their order; with `subtrees`, its subkeys too, made anew
  // from the snapshot (for whole entries), else they are left as they are.
  // False when any of it failed.
  bool RollBack(WideRegistry& wide, const std::vector<bool>* only, bool subtrees) const;

 private:
  class Unpacker;
  bool ReadKey(WideRegistry& wide, WideKey& key, const WideString& path, bool top, Entry& entry);
  // How a key above an entry's opens, asked once for each.
  bool OpenAbove(WideRegistry& wide, const WideString& path, OpenResult& result);
  // The entry whose folded path is `folded`, or -1; `slot` is where it is or
  // would go.
  int Find(const std::string& folded, size_t& slot) const;
  void Index(int entry);
  // The entry's path in the folded form of FoldedPath.
  std::string FoldedPathOf(const Entry& e) const;
  uint32_t NameId(const std::string& utf8);

  // Where the file's deletion line for the entry starts; empty for none.
  WideString DeletionRoot(size_t entry) const;

  std::string highest_;  // folded
  std::string kept_;     // folded
  bool hold_keys_;
  std::vector<WideKeyPtr> held_;  // by entry, while kept
  std::vector<Entry> entries_;
  std::string paths_;                 // every entry's path, UTF-8, one after another
  std::vector<int32_t> slots_;        // entries by folded path: open addressing, -1 for free
  std::vector<WideString> names_;     // value names, each once
  std::unordered_map<std::string, uint32_t> name_ids_;
  std::unordered_map<std::string, OpenResult> known_above_;  // folded path -> how it opens
  // Packed data, in blocks that never move once written.
  std::vector<std::unique_ptr<std::string>> blocks_;
  std::string packing_;
  std::string ansi_;
};

}  // namespace panestow
