// Restore of a layout file into Jw_cad's layout keys, with its safety net.
#pragma once

#include <string>

#include "app/History.h"
#include "app/files.h"
#include "layout/Undo.h"
#include "layout/LineList.h"
#include "registry/RegistryStore.h"
#include "registry/WideRegistry.h"

namespace panestow {

// Status texts of a restore.
extern const char kRestoreSucceeded[];  // "Jw_cad画面レイアウトファイルを読み込みました。"
extern const char kRestoreFailed[];     // "Jw_cad画面レイアウトファイルが読み込めませんでした。"

// Walks the sections of `lines` (SectionReader) and, for each one, opens or
// creates the subkey of the Jw_cad key, removes all its values and writes
// the recorded ones. True when the walk went through to its end; false when
// a write or another registry error stopped it (what was done so far
// stays). A section whose name would address the Jw_cad key itself is
// passed over. This is the walk itself, without the safety net of
// RestoreFromFile.
bool ApplyLayout(const LineList& lines, RegistryStore& store);

// What a slot's restore works with.
struct RestoreTarget {
  RegistryStore& store;   // the walk's reads and writes
  WideRegistry& wide;     // the snapshot, the fast path and the rollback
  FileSystem& files;      // the undo file and the history
  std::string undo_path;  // where the undo file goes; empty for none
  // Recreate a key that has no subkeys instead of removing its values one
  // by one; off, every key takes the walk's own path.
  bool fast_path = true;
  History* history = nullptr;  // where the keys before the restore are kept; none when null
  int slot = 0;                // the slot restored, 1 to 4, which names its history entry
  UndoFile undo = UndoFile::Unchanged;  // afterwards: what became of the undo file
};

// A slot's restore: the file at `path` is loaded into `lines`; the keys its
// sections touch are read as they are (a key that cannot be opened, for
// all access or at all, is left alone with its section, and a read that
// fails stops the restore before anything is written); they go into the
// history as the entry of this restore; then the walk of ApplyLayout
// writes them. When the walk fails part-way, every key it touched is put
// back as it was, the entry goes again, and the undo file is left as it
// was. Once the restore stands, the undo file takes it back (see
// KeptKeys::Stand) and the history keeps to its limits. True when the walk
// went through. Throws Error("ファイル %s は開けません") before any
// registry work when the file cannot be opened.
//
// The fast path: a key that opened with all access and has no subkeys (nor
// another section's key below it), whose values the ANSI functions can all
// name and whose parent lets it be made anew, is deleted and created again
// under the name the registry had for it, then written in file order;
// afterwards it holds exactly what the walk leaves, in the same order. Any
// other key, and a key whose deletion fails, takes the walk's
// value-by-value path.
bool RestoreFromFile(const std::string& path, LineList& lines, RestoreTarget& target);

}  // namespace panestow
