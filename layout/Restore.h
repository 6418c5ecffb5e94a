// Restore of a layout file into Jw_cad's layout keys.
#pragma once

#include <string>

#include "layout/LineList.h"
#include "registry/RegistryStore.h"

namespace panestow {

// Status texts of a restore.
extern const char kRestoreSucceeded[];  // "Jw_cad画面レイアウトファイルを読み込みました。"
extern const char kRestoreFailed[];     // "Jw_cad画面レイアウトファイルが読み込めませんでした。"

// Walks the sections of `lines` (SectionReader) and, for each one, opens or
// creates the subkey of the Jw_cad key, removes all its values and writes
// the recorded ones. True when the walk went through to its end; false when
// a write or another registry error stopped it (what was done so far
// stays). A section whose name would address the Jw_cad key itself is
// passed over.
bool ApplyLayout(const LineList& lines, RegistryStore& store);

// A slot's restore: the file at `path` is loaded into `lines` and applied
// through `store`. Throws Error("ファイル %s は開けません") before any
// registry work when the file cannot be opened.
bool RestoreFromFile(const std::string& path, LineList& lines, RegistryStore& store);

}  // namespace panestow
