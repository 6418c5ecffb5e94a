#include "layout/Restore.h"

#include <algorithm>
#include <string>
#include <vector>

#include "app/Func_.h"
#include "app/codepage.h"
#include "layout/Capture.h"

namespace panestow {

const char kRestoreSucceeded[] = "Jw_cad画面レイアウトファイルを読み込みました。";
const char kRestoreFailed[] = "Jw_cad画面レイアウトファイルが読み込めませんでした。";

namespace {

int32_t Length(const std::string& s) { return static_cast<int32_t>(s.size()); }

// An empty name, or one of backslashes alone, would make the key path the
// Jw_cad key itself: the registry skips empty parts of a path.
bool NamesJwCadKeyItself(const std::string& name) {
  return name.find_first_not_of('\\') == std::string::npos;
}

void ApplyValueLine(const std::string& line, RegistryStore& store) {
  const int32_t p = static_cast<int32_t>(AnsiPos(line, '\t'));
  const std::string name = SubStr(line, 1, p - 1);
  const std::string data = SubStr(line, p + 1, Length(line) + 4);
  if (name.empty() || name == kPlaceholder || data.empty() || data == kPlaceholder) return;
  if (data[0] == '"') {
    store.WriteText(name, SubStr(data, 2, Length(data) - 2));
  } else {
    store.WriteNumber(name, StrToIntOrZero(data));
  }
}

}  // namespace

bool ApplyLayout(const LineList& lines, RegistryStore& store) {
  const int64_t end = lines.Count();
  const int32_t sections = StrToIntOrZero(lines.LineView(0));
  int64_t i = 1;
  std::vector<std::string> names;
  try {
    store.SelectRoot(RegRoot::CurrentUser);
    for (int32_t s = 0; s < sections && i < end; ++s) {
      const std::string header(lines.LineView(i));
      const std::string key_name = SubStr(header, 2, Length(header) - 2);
      ++i;
      const int32_t count = StrToIntOrZero(lines.LineView(i));
      ++i;
      // Value lines never reach past the file's end.
      const int64_t value_lines = count > 0 ? std::min<int64_t>(count, end > i ? end - i : 0) : 0;
      if (NamesJwCadKeyItself(key_name)) {
        i += value_lines;
        continue;
      }
      if (store.OpenPath(kJwCadKeySlash + key_name, true)) {
        store.ListValues(names);
        for (const std::string& name : names) {
          try {
            store.RemoveValue(name);
          } catch (...) {
            // A value that cannot be removed stays; the others go on.
          }
        }
        for (int64_t k = 0; k < value_lines; ++k) ApplyValueLine(std::string(lines.LineView(i++)), store);
      } else {
        i += value_lines;
      }
      store.ClosePath();
    }
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace panestow
