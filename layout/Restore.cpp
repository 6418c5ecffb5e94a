#include "layout/Restore.h"

#include <vector>

#include "layout/LayoutFile.h"
#include "layout/Undo.h"
#include "registry/Snapshot.h"

namespace panestow {

const char kRestoreSucceeded[] = "Jw_cad画面レイアウトファイルを読み込みました。";
const char kRestoreFailed[] = "Jw_cad画面レイアウトファイルが読み込めませんでした。";

namespace {

void WriteValues(const LineList& lines, const LayoutSection& section, RegistryStore& store) {
  ValueWrite write;
  const int64_t end = section.first_line + section.value_lines;
  for (int64_t i = section.first_line; i < end; ++i) {
    if (!ReadValueLine(lines.LineView(i), write)) continue;
    if (write.is_text) {
      store.WriteText(write.name, write.text);
    } else {
      store.WriteNumber(write.name, write.number);
    }
  }
}

// One section the walk's own way: open or create the key, remove every
// value it holds, write the section's values.
//
// With a snapshot behind it (`known_values` not null), a key the snapshot
// opened moments ago must open again, and must list at least the values
// the snapshot read: either failing is an error, not a key to pass over.
void WalkSection(const LineList& lines, const LayoutSection& section, RegistryStore& store,
                 std::vector<std::string>& names, const uint32_t* known_values = nullptr) {
  if (!store.OpenPath(JwCadSubkey(section.key_name), true)) {
    store.ClosePath();
    if (known_values) throw Error("cannot open " + section.key_name);
    // Passed over, its value lines unread.
    return;
  }
  store.ListValues(names);
  if (known_values && names.size() < *known_values) throw Error("cannot list the values of " + section.key_name);
  for (const std::string& name : names) {
    try {
      store.RemoveValue(name);
    } catch (...) {
      // A value that cannot be removed stays; the others go on.
    }
  }
  WriteValues(lines, section, store);
  store.ClosePath();
}

constexpr int kJwCadKeyItself = -2;

}  // namespace

bool ApplyLayout(const LineList& lines, RegistryStore& store) {
  SectionReader reader(lines);
  LayoutSection section;
  std::vector<std::string> names;
  try {
    store.SelectRoot(RegRoot::CurrentUser);
    while (reader.Next(section)) {
      if (!section.names_jw_cad_key) WalkSection(lines, section, store, names);
    }
    return true;
  } catch (...) {
    return false;
  }
}

bool RestoreFromFile(const std::string& path, LineList& lines, RestoreTarget& target) {
  lines.ClearLines();
  lines.LoadLines(path);

  // The keys as they are, before anything is written.
  WideRegistry& wide = target.wide;
  Snapshot before(wide.FromAnsi(JwCadVendorKey()), target.fast_path);
  before.KeepInFile(wide.FromAnsi(kJwCadKeyPath));
  std::vector<int> entry_of_section;
  {
    SectionReader reader(lines);
    LayoutSection section;
    const std::string base = std::string(kJwCadKeyPath) + "\\";
    while (reader.Next(section)) {
      int entry = kJwCadKeyItself;
      if (!section.names_jw_cad_key && !before.Add(wide, wide.FromAnsi(base + section.key_name), entry)) {
        return false;
      }
      entry_of_section.push_back(entry);
    }
  }
  // The keys as they are, kept before anything is written.
  Keeping keeping{target.files, target.history, target.undo_path};
  KeptKeys kept(before, Change::Restore, target.slot, keeping);

  // How each key is written: decided at its first section, kept for the
  // later ones, so that a key the walk's path left with values it cannot
  // name keeps them.
  enum class Way : unsigned char { Unvisited, Fast, Walk };
  const std::vector<bool> nested = before.WithKeysBelow();
  std::vector<Way> way(before.entries().size(), Way::Unvisited);
  std::vector<bool> touched(before.entries().size(), false);
  SectionReader reader(lines);
  LayoutSection section;
  std::vector<std::string> names;
  bool ok = true;
  try {
    target.store.SelectRoot(RegRoot::CurrentUser);
    for (size_t s = 0; reader.Next(section); ++s) {
      if (entry_of_section[s] < 0) continue;  // the Jw_cad key itself, or a key that cannot be opened
      const size_t entry = static_cast<size_t>(entry_of_section[s]);
      const Snapshot::Entry& e = before.entries()[entry];
      // At its first section a key is as the snapshot read it; written
      // before by this restore, it holds only the values written.
      const bool first = !touched[entry];
      touched[entry] = true;
      const bool exists = !first || e.existed;
      // A key made anew keeps its name as the registry has it.
      const WideString key_path = before.Path(entry);
      // Open since the snapshot read it, when it had no subkeys.
      const WideKeyPtr held = first ? before.TakeKey(entry) : nullptr;
      std::string ansi_path;
      if (first) {
        const bool fast = target.fast_path && !nested[entry] &&
                          (!e.existed || (!e.has_subkeys && e.names_survive_ansi && e.parent_opens)) &&
                          wide.ToAnsi(key_path, ansi_path);
        way[entry] = fast ? Way::Fast : Way::Walk;
      } else if (way[entry] == Way::Fast) {
        wide.ToAnsi(key_path, ansi_path);
      }
      if (way[entry] == Way::Walk ||
          (exists && !(held ? wide.DeleteOpenKey(*held) : wide.DeleteKey(key_path)))) {
        way[entry] = Way::Walk;
        WalkSection(lines, section, target.store, names, first && e.existed ? &e.values : nullptr);
        continue;
      }
      if (!target.store.OpenPath("\\" + ansi_path, true)) {
        target.store.ClosePath();
        // A key just deleted must come back: the restore fails and is taken
        // back. One that was missing is passed over, as the walk does.
        if (exists) throw Error("cannot create " + section.key_name);
        continue;
      }
      WriteValues(lines, section, target.store);
      target.store.ClosePath();
    }
  } catch (...) {
    ok = false;
  }
  // The walk changed the values of the keys it touched, and made anew only
  // keys without subkeys: their values come back, and what it created goes.
  if (!ok && before.RollBack(wide, &touched, false)) {
    // As if it had not been tried: the undo file and the history as they
    // were.
    target.undo = UndoFile::Unchanged;
    kept.Drop();
    return false;
  }
  // The restore stands (or could not be taken back): the undo file takes
  // it back.
  target.undo = kept.Stand();
  if (target.history) target.history->Trim();
  return ok;
}

}  // namespace panestow
