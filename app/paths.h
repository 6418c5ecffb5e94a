// File names derived from the executable's own path.
#pragma once

#include <string>

namespace panestow {

// `path` with its extension replaced by `ext` (which carries its dot).
// The last of ".", "\" and ":" is searched character by character, so the
// second byte of a double-byte character never counts; when it is not a
// dot the file name has no extension and `ext` is appended.
std::string ReplaceExtension(const std::string& path, const std::string& ext);

struct FilePaths {
  std::string ini;
  std::string slots[4];  // slot 1 to 4: ".rg", ".rg2", ".rg3", ".rg4"
  std::string undo;      // ".undo.reg"
  std::string history;   // ".history", a folder
};

FilePaths DerivePaths(const std::string& exePath);

// The most bytes the ANSI file functions take in a path, its terminating
// NUL included (MAX_PATH).
constexpr size_t kMaxAnsiPath = 260;

// True when every file Panestow keeps beside the executable at `exePath`
// gets a path shorter than kMaxAnsiPath bytes: the settings, slot and undo
// files, and the entries of the history folder (the executable's path with
// ".history"), the longest of them.
bool DerivedPathsFit(const std::string& exePath);

}  // namespace panestow
