#include "layout/Restore.h"

#include <vector>

#include "layout/LayoutFile.h"

namespace panestow {

const char kRestoreSucceeded[] = "Jw_cad画面レイアウトファイルを読み込みました。";
const char kRestoreFailed[] = "Jw_cad画面レイアウトファイルが読み込めませんでした。";

bool ApplyLayout(const LineList& lines, RegistryStore& store) {
  SectionReader reader(lines);
  LayoutSection section;
  ValueWrite write;
  std::vector<std::string> names;
  try {
    store.SelectRoot(RegRoot::CurrentUser);
    while (reader.Next(section)) {
      if (section.names_jw_cad_key) continue;
      if (!store.OpenPath(JwCadSubkey(section.key_name), true)) {
        // Passed over, its value lines unread.
        store.ClosePath();
        continue;
      }
      store.ListValues(names);
      for (const std::string& name : names) {
        try {
          store.RemoveValue(name);
        } catch (...) {
          // A value that cannot be removed stays; the others go on.
        }
      }
      const int64_t end = section.first_line + section.value_lines;
      for (int64_t i = section.first_line; i < end; ++i) {
        if (!ReadValueLine(lines.LineView(i), write)) continue;
        if (write.is_text) {
          store.WriteText(write.name, write.text);
        } else {
          store.WriteNumber(write.name, write.number);
        }
      }
      store.ClosePath();
    }
    return true;
  } catch (...) {
    return false;
  }
}

bool RestoreFromFile(const std::string& path, LineList& lines, RegistryStore& store) {
  lines.ClearLines();
  lines.LoadLines(path);
  return ApplyLayout(lines, store);
}

}  // namespace panestow
