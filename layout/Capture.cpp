#include "layout/Capture.h"

#include <vector>

#include "app/codepage.h"
#include "layout/LayoutFile.h"

namespace panestow {

bool PassesCaptureFilter(const std::string& name) {
  std::string upper = name;
  UpperAnsi(upper);
  static const char* const kExact[] = {"DIALOG", "FILEVIEW", "LAYERBAR", "LAYERGROUPBAR", "SETTINGS", "USERBAR"};
  for (const char* exact : kExact) {
    if (upper == exact) return true;
  }
  static const std::string kToolbar = "TOOLBAR-";
  for (size_t i = 0; i < upper.size(); i = AnsiCharNext(upper, i)) {
    if (upper.compare(i, kToolbar.size(), kToolbar) == 0) return true;
  }
  return false;
}

bool CaptureLayout(RegistryStore& store, LineList& lines) {
  lines.ClearLines();
  std::vector<std::string> key_names;
  std::vector<RegValue> values;
  try {
    store.SelectRoot(RegRoot::CurrentUser);
    if (store.OpenPath(JwCadKey(), false)) store.ListSubkeys(key_names);
    store.ClosePath();

    int32_t sections = 0;
    lines.AppendLine("0");
    for (const std::string& name : key_names) {
      if (!PassesCaptureFilter(name)) continue;
      ++sections;
      values.clear();
      // Name, type and data come in one enumeration step per value.
      if (store.OpenPath(JwCadSubkey(name), false)) store.ListValueData(values);
      store.ClosePath();

      // A read that fails throws and fails the whole capture, so each line
      // can be written as soon as its value has been read.
      lines.AppendLine("[" + name + "]");
      lines.AppendLine(std::to_string(values.size()));
      std::string line;
      for (const RegValue& value : values) {
        line.assign(value.name);
        line += '\t';
        line += DataField(value);
        lines.AppendLine(line);
      }
    }
    lines.SetLine(0, std::to_string(sections));
    return true;
  } catch (...) {
    return false;
  }
}

bool CaptureToFile(RegistryStore& store, LineList& lines, const std::string& path, FileSystem& files,
                   History* history, int slot) {
  return CaptureLayout(store, lines) && ReplaceKeepingOld(files, history, slot, path, lines.Text());
}

}  // namespace panestow
