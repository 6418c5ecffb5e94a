// The undo file: Jw_cad's keys as they were before the latest restore, in
// a registry file beside the executable, and taking the restore back from
// it.
#pragma once

#include <string>

#include "app/files.h"
#include "registry/Snapshot.h"
#include "registry/WideRegistry.h"

namespace panestow {

// Status texts of an undo.
extern const char kUndone[];      // "直前の復元を取り消しました。"
extern const char kUndoFailed[];  // "直前の復元を取り消せませんでした。"

// Replaces the file at `path` with the snapshot as a registry file, whole
// or not at all. False when it could not be written; an earlier file then
// stays as it was.
bool WriteUndoFile(const Snapshot& snapshot, const std::string& path, FileSystem& files);

// Applies the undo file at `path` through the wide view: the keys it names
// are read first, and put back as they were when a write fails part-way.
// True when it was applied whole. Throws Error("ファイル %s は開けません"),
// with nothing changed, when the file cannot be read or is not an undo file
// that Panestow wrote for Jw_cad's keys.
bool ApplyUndoFile(const std::string& path, WideRegistry& wide);

}  // namespace panestow
