// The floor: the registry calls a restore or a capture of the Jw_cad key
// makes, straight on advapi32 and with nothing else around them, to time
// the product's code against.
#pragma once

#include <string>

#include "layout/LineList.h"

namespace panestow::bench {

// What a restore writes, prepared before any timing: for each section the
// subkey path (from HKEY_CURRENT_USER) and the REG_SZ and REG_DWORD values
// of its value lines, in file order. A flat byte string, so that a separate
// program can take it in with one read.
std::string MakeRestoreScript(const LineList& lines);

// Per section: RegCreateKeyExA, RegQueryInfoKeyA, RegEnumValueA until the
// values run out, RegDeleteValueA for each, RegSetValueExA for each value
// of the script, RegCloseKey; the calls ApplyLayout makes over the
// WinRegistryStore. False when a call that must succeed fails.
bool FloorRestore(const std::string& script);

// RegOpenKeyExA, RegQueryInfoKeyA, RegEnumKeyExA until the subkeys run
// out and RegCloseKey on the Jw_cad key; then, for each subkey that passes
// the capture filter, RegOpenKeyExA, RegQueryInfoKeyA, RegEnumValueA with
// type and data until the values run out, RegCloseKey: the calls
// CaptureLayout makes. Returns the number of values read, -1 on failure.
long FloorCapture();

}  // namespace panestow::bench
