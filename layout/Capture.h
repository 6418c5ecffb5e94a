// Capture of Jw_cad's layout keys into the text of a layout file.
#pragma once

#include <string>

#include "layout/LineList.h"
#include "registry/RegistryStore.h"

namespace panestow {

// The key whose subkeys hold Jw_cad's screen layout, under HKEY_CURRENT_USER.
extern const char kJwCadKey[];       // "\Software\Jw_cad\jw_win"
extern const char kJwCadKeySlash[];  // the same with a trailing backslash

// Stands in a layout file for data that is not recorded: the full-width
// space, 0x81 0x40.
extern const char kPlaceholder[];

// True when a subkey of that name is captured: its upper-cased copy equals
// DIALOG, FILEVIEW, LAYERBAR, LAYERGROUPBAR, SETTINGS or USERBAR, or holds
// "TOOLBAR-" starting on a character boundary.
bool PassesCaptureFilter(const std::string& name);

// The data field of a value line for a value of this type and data.
// Throws GetFailed for a REG_DWORD longer than 4 bytes.
std::string DataField(const RegValue& value);

// Fills `lines` with the layout file of the Jw_cad key read through `store`
// (rooted at HKEY_CURRENT_USER). False when a read or the line list's
// capacity failed part-way: the lines are then incomplete and must not be
// saved.
bool CaptureLayout(RegistryStore& store, LineList& lines);

}  // namespace panestow
