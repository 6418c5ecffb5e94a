// Restore of a layout file's text into Jw_cad's layout keys.
#pragma once

#include "layout/LineList.h"
#include "registry/RegistryStore.h"

namespace panestow {

// Status texts of a restore.
extern const char kRestoreSucceeded[];  // "Jw_cad画面レイアウトファイルを読み込みました。"
extern const char kRestoreFailed[];     // "Jw_cad画面レイアウトファイルが読み込めませんでした。"

// Walks the sections of `lines` and, for each one, opens or creates the
// subkey of the Jw_cad key, removes all its values and writes the recorded
// ones. True when the walk went through to its end; false when a write or
// another registry error stopped it (what was done so far stays).
//
// The walk follows the counts in the file. It stops at the file's last
// line whatever the counts promise, and it skips a section whose name would
// address the Jw_cad key itself rather than one of its subkeys.
bool ApplyLayout(const LineList& lines, RegistryStore& store);

}  // namespace panestow
