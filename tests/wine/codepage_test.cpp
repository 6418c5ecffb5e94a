// The same cases as the portable rules, answered by Windows' own text
// services in code page 932.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/codepage.h"
#include "app/paths.h"
#include "app/sjis.h"
#include "tests/common/CodepageCases.h"
#include "tests/common/PathCases.h"

namespace panestow::test {
namespace {

TEST(WinCodepage, RunsInCodePage932) { ASSERT_EQ(GetACP(), 932u) << "the bench must run wine with LC_ALL=ja_JP.UTF-8"; }

TEST(WinCodepage, CharNextAStepsLikeTheShiftJisRules) {
  for (const StepCase& c : StepCases()) {
    std::vector<size_t> windows, portable;
    for (size_t i = 0; i < c.text.size(); i = AnsiCharNext(c.text, i)) windows.push_back(i);
    for (size_t i = 0; i < c.text.size(); i = SjisCharNext(c.text, i)) portable.push_back(i);
    EXPECT_EQ(windows, c.starts) << c.text;
    EXPECT_EQ(portable, windows) << c.text;
  }
}

TEST(WinCodepage, CharUpperBuffAUpperCasesLikeTheShiftJisRules) {
  for (const UpperCase& c : UpperCases()) {
    std::string windows = c.text, portable = c.text;
    UpperAnsi(windows);
    SjisUpper(portable);
    EXPECT_EQ(windows, c.upper) << c.text;
    EXPECT_EQ(portable, windows) << c.text;
  }
}

TEST(WinCodepage, PathsAreDerivedThroughCharNextA) {
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
