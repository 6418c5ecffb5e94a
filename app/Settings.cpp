#include "app/Settings.h"

#include "app/files.h"

namespace panestow {

std::string FormatSettings(const SettingsValues& v) {
  std::string out;
  auto line = [&out](const std::string& text) { out += text + "\r\n"; };
  auto number = [&line](const char* key, int32_t value) { line(std::string(key) + "=" + std::to_string(value)); };
  line("[Form]");
  number("F1_X", v.main_left);
  number("F1_Y", v.main_top);
  number("F1_W", v.main_width);
  number("F1_H", v.main_height);
  number("F2_X", v.save_left);
  number("F2_Y", v.save_top);
  line("[Sets]");
  for (int i = 0; i < 4; ++i) line("Tit" + std::to_string(i + 1) + "=\"" + v.titles[i] + "\"");
  return out;
}

bool WriteSettings(const std::string& path, const SettingsValues& values) {
  return ReplaceFileContents(path, FormatSettings(values));
}

}  // namespace panestow
