// Executable paths and the file names derived from them.
#pragma once

#include <string>
#include <vector>

namespace panestow::test {

struct PathCase {
  std::string exe, ini, rg, rg2, rg4;
};

inline std::vector<PathCase> PathCases() {
  return {
      {"C:\\Tools\\Panestow.exe", "C:\\Tools\\Panestow.ini", "C:\\Tools\\Panestow.rg", "C:\\Tools\\Panestow.rg2",
       "C:\\Tools\\Panestow.rg4"},
      {"C:\\Tools\\lay.out.exe", "C:\\Tools\\lay.out.ini", "C:\\Tools\\lay.out.rg", "C:\\Tools\\lay.out.rg2",
       "C:\\Tools\\lay.out.rg4"},
      {"C:\\My.Tools\\Panestow", "C:\\My.Tools\\Panestow.ini", "C:\\My.Tools\\Panestow.rg",
       "C:\\My.Tools\\Panestow.rg2", "C:\\My.Tools\\Panestow.rg4"},
      // 表 is 0x95 0x5C: its second byte is no folder separator.
      {"C:\\x\\a.表", "C:\\x\\a.ini", "C:\\x\\a.rg", "C:\\x\\a.rg2", "C:\\x\\a.rg4"},
      {"C:\\表\\a", "C:\\表\\a.ini", "C:\\表\\a.rg", "C:\\表\\a.rg2", "C:\\表\\a.rg4"},
      {"C:a", "C:a.ini", "C:a.rg", "C:a.rg2", "C:a.rg4"},
      {"x.", "x.ini", "x.rg", "x.rg2", "x.rg4"},
  };
}

}  // namespace panestow::test
