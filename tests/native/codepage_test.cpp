#include <gtest/gtest.h>

#include "app/codepage.h"
#include "app/paths.h"
#include "app/sjis.h"
#include "tests/common/CodepageCases.h"
#include "tests/common/PathCases.h"

namespace panestow::test {
namespace {

std::vector<size_t> Starts(const std::string& s) {
  std::vector<size_t> starts;
  for (size_t i = 0; i < s.size(); i = AnsiCharNext(s, i)) starts.push_back(i);
  return starts;
}

TEST(Codepage, StepsOverDoubleByteCharacters) {
  for (const StepCase& c : StepCases()) EXPECT_EQ(Starts(c.text), c.starts) << c.text;
}

TEST(Codepage, UpperCasesAsciiLettersOnly) {
  for (const UpperCase& c : UpperCases()) {
    std::string s = c.text;
    UpperAnsi(s);
    EXPECT_EQ(s, c.upper) << c.text;
  }
}

TEST(Codepage, NeverStaysPutOnANulOrATrailingLeadByte) {
  const std::string s("a\0\x95", 3);
  EXPECT_EQ(Starts(s), (std::vector<size_t>{0, 1, 2}));
  EXPECT_EQ(SjisCharNext(s, 1), 1u);  // as CharNextA does at a NUL
}

TEST(Paths, ReplaceTheLastExtensionOnly) {
  for (const PathCase& c : PathCases()) {
    const FilePaths p = DerivePaths(c.exe);
    EXPECT_EQ(p.ini, c.ini) << c.exe;
    EXPECT_EQ(p.slots[0], c.rg) << c.exe;
    EXPECT_EQ(p.slots[1], c.rg2) << c.exe;
    EXPECT_EQ(p.slots[3], c.rg4) << c.exe;
  }
}

TEST(Paths, FitTheAnsiFileFunctionsUpToTheLongestHistoryEntry) {
  // C:\F\panestow.exe keeps its history entries in C:\F\panestow.history\,
  // with names of up to 36 bytes: F + 57 bytes in all, at most 259.
  auto exe = [](const std::string& folder) { return "C:\\" + folder + "\\panestow.exe"; };
  // Counted in bytes: 101 double-byte characters are 202.
  std::string sjis_202;
  for (int i = 0; i < 101; ++i) sjis_202 += "表";
  const struct {
    std::string exe;
    bool fits;
  } cases[] = {
      {"C:\\Tools\\panestow.exe", true},
      {exe(std::string(202, 'f')), true},
      {exe(std::string(203, 'f')), false},
      {exe(sjis_202), true},
      {exe(sjis_202 + "a"), false},
      {exe(std::string(100, 'f') + "\\" + std::string(101, 'g')), true},
      {exe(std::string(100, 'f') + "\\" + std::string(102, 'g')), false},
      // The extension goes, whatever its length; without one, the name stays.
      {"C:\\" + std::string(202, 'f') + "\\panestow." + std::string(40, 'e'), true},
      {"C:\\" + std::string(202, 'f') + "\\panestow", true},
      {"C:\\" + std::string(202, 'f') + "\\panestowx", false},
  };
  for (const auto& c : cases) EXPECT_EQ(DerivedPathsFit(c.exe), c.fits) << c.exe.size() << " bytes";
}

}  // namespace
}  // namespace panestow::test
