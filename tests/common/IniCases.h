// Settings-file reads that the program relies on, checked natively against
// the portable reader and under Wine against GetPrivateProfileStringA.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace panestow::test {

struct IniCase {
  std::string file;  // the settings file's bytes
  std::string section, key;
  uint32_t size;
  std::string value;  // what comes back
};

inline std::vector<IniCase> IniCases() {
  const std::string title128(128, 't');
  return {
      {"[Form]\r\nF1_X=612\r\n", "Form", "F1_X", 22, "612"},
      {"[Form]\r\nF1_X=-8\r\nF1_Y=80\r\n", "Form", "F1_Y", 22, "80"},
      {"[form]\r\nf1_x=5\r\n", "Form", "F1_X", 22, "5"},
      {"[FORM]\r\nF1_X=0x20\r\n", "Form", "f1_x", 22, "0x20"},
      {"[Form]\r\nF1_X = 7 \r\n", "Form", "F1_X", 22, "7"},
      {"[Form]\r\nF1_W=\r\n", "Form", "F1_W", 22, ""},
      {"[Form]\r\nF1_X=123456789012345678901234567890\r\n", "Form", "F1_X", 22, "123456789012345678901"},
      {"[Sets]\r\nTit1=\"【設定１】でレイアウトを戻す\"\r\n", "Sets", "Tit1", 128, "【設定１】でレイアウトを戻す"},
      {"[Sets]\r\nTit1=\"\"\r\n", "Sets", "Tit1", 128, ""},
      {"[Sets]\r\nTit1=\"  blanks  \"\r\n", "Sets", "Tit1", 128, "  blanks  "},
      {"[Sets]\r\nTit1=\"a \"quoted\" b\"\r\n", "Sets", "Tit1", 128, "a \"quoted\" b"},
      {"[Sets]\r\nTit1=\"\"both\"\"\r\n", "Sets", "Tit1", 128, "\"both\""},
      {"[Sets]\r\nTit1='single'\r\n", "Sets", "Tit1", 128, "single"},
      {"[Sets]\r\nTit1=\"mixed'\r\n", "Sets", "Tit1", 128, "\"mixed'"},
      {"[Sets]\r\nTit1=unquoted\r\n", "Sets", "Tit1", 128, "unquoted"},
      {"[Sets]\r\nTit1=\"" + title128 + "\"\r\n", "Sets", "Tit1", 128, title128.substr(0, 127)},
      {"[Sets]\r\nTit2=\"x\"\r\n", "Sets", "Tit1", 128, ""},
      {"[Form]\r\nTit1=\"x\"\r\n", "Sets", "Tit1", 128, ""},
      {"; a comment\r\n[Other]\r\nF1_X=9\r\n[Form]\r\nExtra=1\r\nF1_X=3\r\n[More]\r\nF1_X=4\r\n", "Form", "F1_X", 22,
       "3"},
      {"[Form]\nF1_X=11\nF1_Y=12\n", "Form", "F1_Y", 22, "12"},
      {"", "Form", "F1_X", 22, ""},
  };
}

}  // namespace panestow::test
