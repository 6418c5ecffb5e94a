// Stepping and upper-casing cases for the ANSI code page (932), checked
// natively against the Shift-JIS rules and under Wine against
// CharNextA/CharUpperBuffA.
#pragma once

#include <string>
#include <vector>

namespace panestow::test {

struct StepCase {
  std::string text;
  std::vector<size_t> starts;  // byte index of each character
};

inline std::vector<StepCase> StepCases() {
  return {
      {"abc", {0, 1, 2}},
      {"表\\", {0, 2}},              // 0x95 0x5C: the 0x5C is not a backslash
      {"a.表", {0, 1, 2}},
      {"ｱa", {0, 1}},               // half-width katakana is one byte
      {"\x81\x40x", {0, 2}},         // the placeholder
      {"\xE0\x40\xFC\x40", {0, 2}},  // lead bytes at both ends of the upper range
      {"\x9F\x7E\x80", {0, 2}},      // 0x80 is not a lead byte
  };
}

struct UpperCase {
  std::string text;
  std::string upper;
};

// Only what the program relies on: ASCII letters change, and no byte of a
// double-byte character does.
inline std::vector<UpperCase> UpperCases() {
  return {
      {"toolbar-1", "TOOLBAR-1"},
      {"s2", "S2"},
      {"j3", "J3"},
      {"\x83\x61z", "\x83\x61Z"},  // ャ: its second byte is 'a'
      {"\x83\x54oolbar-", "\x83\x54OOLBAR-"},
      {"表a", "表A"},
  };
}

}  // namespace panestow::test
