// What a change of Jw_cad's keys keeps of the keys it replaces: an entry of
// the history written before the change, and the undo file beside the
// executable, which takes back the latest restore (or put-back of keys
// from the history); and applying such a registry file.
#pragma once

#include <string>
#include <string_view>

#include "app/History.h"
#include "app/files.h"
#include "registry/Snapshot.h"
#include "registry/WideRegistry.h"

namespace panestow {

// Status texts of an undo, and of a put-back of keys from the history.
extern const char kUndone[];           // "直前の復元を取り消しました。"
extern const char kUndoFailed[];       // "直前の復元を取り消せませんでした。"
extern const char kPutBack[];          // "履歴から戻しました。"
extern const char kPutBackFailed[];    // "履歴から戻せませんでした。"

// Where a change keeps what it replaces.
struct Keeping {
  FileSystem& files;
  History* history = nullptr;  // none when null
  std::string undo_path;       // no undo file when empty
};

// What became of the undo file.
enum class UndoFile {
  Unchanged,  // as it was before the change
  Written,    // it takes back this change
  None,       // there is none
  Stale,      // an older one stands, which could not be taken away
};

// The comment line of the registry file of a change, which says what the
// file was; and the change read back from a file's bytes (false for a file
// that does not say).
WideString RegFileComment(Change change, int slot);
bool ChangeOfRegFile(std::string_view bytes, Change& change, int& slot);

// The snapshot as a registry file of that change, into `file`, committed.
// False when it could not be written (the snapshot cannot be written as a
// file, or the file failed); `file` then leaves its path as it was.
bool WriteRegFile(const Snapshot& snapshot, Change change, int slot, AtomicFile& file);

// Replaces the file at `path` with the snapshot as a registry file, whole
// or not at all.
bool WriteUndoFile(const Snapshot& snapshot, const std::string& path, FileSystem& files);

// The snapshot's registry file, written before a change of its keys: as
// the history's entry of the change, and, where there is an undo file,
// ready beside it to take its place once the change stands. The bytes are
// written once: the entry is a second name for the file that becomes the
// undo file, where the file system has them. Without a history, or where
// it cannot be written, the change goes on without its entry.
class KeptKeys {
 public:
  KeptKeys(const Snapshot& snapshot, Change change, int slot, Keeping& keeping);
  KeptKeys(const KeptKeys&) = delete;
  KeptKeys& operator=(const KeptKeys&) = delete;

  // The history's entry; empty when it could not be written.
  const std::string& entry() const { return entry_; }

  // The change stands: the undo file takes it back. When it cannot, an
  // older undo file does not stay for "the latest restore": it goes into
  // the history, named for what it was, unless the history keeps it
  // already; else it is removed.
  UndoFile Stand();

  // The change was taken back: the entry goes again, and the undo file
  // stays as it was.
  void Drop();

 private:
  const Snapshot& snapshot_;
  Change change_;
  int slot_;
  Keeping& keeping_;
  std::string entry_;
  AtomicFile undo_;
  bool undo_ready_ = false;
};

// Applies a registry file that Panestow wrote for Jw_cad's keys (the undo
// file, or a registry entry of the history) through the wide view. The
// keys it names are read first, kept as the history's entry of `change`
// (Undo or PutBack), and put back as they were when a write fails
// part-way. After a put-back that stands, the undo file takes it back
// (`undo` tells what became of it). True when the file was applied whole.
// Throws Error("ファイル %s は開けません"), with nothing changed, when the
// file cannot be read or is not a file that Panestow wrote for keys below
// Jw_cad's key; such a file never deletes that key or any above it.
bool ApplyRegFile(const std::string& path, WideRegistry& wide, Keeping& keeping, Change change,
                  UndoFile* undo = nullptr);

// The undo: ApplyRegFile of the undo file at `path`, without a history.
bool ApplyUndoFile(const std::string& path, WideRegistry& wide);

}  // namespace panestow
