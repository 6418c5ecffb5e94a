// Command lines and the arguments they split into (the program's own path
// not included).
#pragma once

#include <string>
#include <vector>

namespace panestow::test {

struct SplitCase {
  std::string line;
  std::vector<std::string> args;
};

inline std::vector<SplitCase> SplitCases() {
  return {
      {"panestow.exe", {}},
      {"\"C:\\Program Files\\p.exe\" S1", {"S1"}},
      {"p.exe  \t J1\ta.jww   b.jww ", {"J1", "a.jww", "b.jww"}},
      {"p.exe J1 \"b c.jww\" x\"y z\"w", {"J1", "b c.jww", "xy zw"}},
      {"p.exe \"\" 2", {"2"}},               // an empty pair alone is skipped
      {"p.exe \"\"\"\" 2", {"2"}},           // two such pairs as well
      {"p.exe J1 \"\"", {"J1"}},
      {"p.exe 1 \"unterminated arg", {"1", "unterminated arg"}},
      {"p.exe 1 \"", {"1"}},                // an empty argument ends the list
      {"p.exe a\\\"b\" c", {"a\\b", "c"}},  // no escapes: the backslash stays, the quote opens
      {"p.exe J1 C:\\表\\a.jww", {"J1", "C:\\表\\a.jww"}},  // 0x95 0x5C stays whole
      {"\"C:\\表\\p.exe\" s2", {"s2"}},
      {"p.exe \x01x\x1Fy", {"x", "y"}},     // every code up to 32 separates
  };
}

}  // namespace panestow::test
