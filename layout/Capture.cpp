#include "layout/Capture.h"

#include <vector>

#include "app/codepage.h"

namespace panestow {

const char kJwCadKey[] = "\\Software\\Jw_cad\\jw_win";
const char kJwCadKeySlash[] = "\\Software\\Jw_cad\\jw_win\\";
// U+3000 in code page 932, spelled as bytes: the file format fixes them
// whatever the compiler's execution character set.
const char kPlaceholder[] = "\x81\x40";

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

std::string DataField(const RegValue& value) {
  if (value.type == kRegSz) {
    const std::string text = value.data.substr(0, value.data.find('\0'));
    return "\"" + text + "\"";
  }
  if (value.type == kRegDword) {
    if (value.data.size() > 4) throw GetFailed(value.name);
    uint32_t bits = 0;
    for (size_t i = 0; i < value.data.size(); ++i) {
      bits |= static_cast<uint32_t>(static_cast<unsigned char>(value.data[i])) << (8 * i);
    }
    return std::to_string(static_cast<int32_t>(bits));
  }
  return kPlaceholder;
}

bool CaptureLayout(RegistryStore& store, LineList& lines) {
  lines.ClearLines();
  std::vector<std::string> key_names;
  std::vector<RegValue> values;
  try {
    store.SelectRoot(RegRoot::CurrentUser);
    if (store.OpenPath(kJwCadKey, false)) store.ListSubkeys(key_names);
    store.ClosePath();

    int32_t sections = 0;
    lines.AppendLine("0");
    for (const std::string& name : key_names) {
      if (!PassesCaptureFilter(name)) continue;
      ++sections;
      values.clear();
      // Name, type and data come in one enumeration step per value.
      if (store.OpenPath(kJwCadKeySlash + name, false)) store.ListValueData(values);
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

}  // namespace panestow
