// Capture of Jw_cad's layout keys into a layout file.
#pragma once

#include <string>

#include "app/History.h"
#include "app/files.h"
#include "layout/LineList.h"
#include "registry/RegistryStore.h"

namespace panestow {

// True when a subkey of that name is captured: its upper-cased copy equals
// DIALOG, FILEVIEW, LAYERBAR, LAYERGROUPBAR, SETTINGS or USERBAR, or holds
// "TOOLBAR-" starting on a character boundary.
bool PassesCaptureFilter(const std::string& name);

// Fills `lines` with the layout file of the Jw_cad key read through `store`
// (rooted at HKEY_CURRENT_USER). False when a read or the line list's
// capacity failed part-way: the lines are then incomplete and must not be
// saved.
bool CaptureLayout(RegistryStore& store, LineList& lines);

// A slot's save: CaptureLayout, then the lines replace the file at `path`
// whole, the earlier file going into the history as the entry of a save
// into `slot` (ReplaceKeepingOld). False when the capture failed part-way
// or the file could not be written; the slot's earlier file and the
// history then stay as they were.
bool CaptureToFile(RegistryStore& store, LineList& lines, const std::string& path, FileSystem& files = PlatformFiles(),
                   History* history = nullptr, int slot = 0);

}  // namespace panestow
