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

}  // namespace
}  // namespace panestow::test
