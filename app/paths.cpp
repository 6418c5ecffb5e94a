#include "app/paths.h"

#include "app/History.h"
#include "app/codepage.h"

namespace panestow {

std::string ReplaceExtension(const std::string& path, const std::string& ext) {
  size_t last = std::string::npos;
  for (size_t i = 0; i < path.size(); i = AnsiCharNext(path, i)) {
    const char c = path[i];
    if (c == '.' || c == '\\' || c == ':') last = i;
  }
  if (last != std::string::npos && path[last] == '.') return path.substr(0, last) + ext;
  return path + ext;
}

FilePaths DerivePaths(const std::string& exePath) {
  FilePaths p;
  p.ini = ReplaceExtension(exePath, ".ini");
  p.slots[0] = ReplaceExtension(exePath, ".rg");
  p.slots[1] = ReplaceExtension(exePath, ".rg2");
  p.slots[2] = ReplaceExtension(exePath, ".rg3");
  p.slots[3] = ReplaceExtension(exePath, ".rg4");
  p.undo = ReplaceExtension(exePath, ".undo.reg");
  p.history = ReplaceExtension(exePath, ".history");
  return p;
}

bool DerivedPathsFit(const std::string& exePath) {
  // An entry of the history folder is the longest: ".history", a backslash
  // and its name outgrow every other extension. The temporary files that
  // GetTempFileNameA makes beside the files need a folder of at most
  // kMaxAnsiPath - 14 bytes, which a folder whose entries fit always is.
  return DerivePaths(exePath).history.size() + 1 + kLongestHistoryName < kMaxAnsiPath;
}

}  // namespace panestow
