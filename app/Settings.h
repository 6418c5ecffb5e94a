// The settings file: window places, the main window's size and the four
// slot titles, written whole at every close.
#pragma once

#include <cstdint>
#include <string>

namespace panestow {

struct SettingsValues {
  int32_t main_left = 0, main_top = 0, main_width = 0, main_height = 0;
  int32_t save_left = 0, save_top = 0;
  std::string titles[4];
};

// The twelve lines, each ending in CR LF: "[Form]", F1_X, F1_Y, F1_W, F1_H,
// F2_X, F2_Y, "[Sets]", Tit1 to Tit4 with the titles between double quotes
// and nothing escaped.
std::string FormatSettings(const SettingsValues& values);

// Replaces the settings file with FormatSettings(values), whole or not at
// all. False when it could not; the old file then stays as it was.
bool WriteSettings(const std::string& path, const SettingsValues& values);

}  // namespace panestow
