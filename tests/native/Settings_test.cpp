#include "app/Settings.h"

#include <gtest/gtest.h>

#include <cstring>

#include "app/UnitIni.h"
#include "app/profile.h"
#include "tests/common/IniCases.h"
#include "tests/common/TestFiles.h"

namespace panestow::test {
namespace {

SettingsValues MovedWindowsAndClearedTitle() {
  SettingsValues v;
  v.main_left = 612;
  v.main_top = 80;
  v.main_width = 260;
  v.main_height = 250;
  v.save_left = 300;
  v.save_top = 200;
  v.titles[0] = "【設定１】でレイアウトを戻す";
  v.titles[1] = "【設定２】でレイアウトを戻す";
  v.titles[2] = "";
  v.titles[3] = "【設定４】でレイアウトを戻す";
  return v;
}

TEST(Settings, WritesTheTwelveLinesWithNumbersAndQuotedTitles) {
  EXPECT_EQ(FormatSettings(MovedWindowsAndClearedTitle()),
            "[Form]\r\nF1_X=612\r\nF1_Y=80\r\nF1_W=260\r\nF1_H=250\r\nF2_X=300\r\nF2_Y=200\r\n"
            "[Sets]\r\n"
            "Tit1=\"【設定１】でレイアウトを戻す\"\r\n"
            "Tit2=\"【設定２】でレイアウトを戻す\"\r\n"
            "Tit3=\"\"\r\n"
            "Tit4=\"【設定４】でレイアウトを戻す\"\r\n");
}

TEST(Settings, NegativeNumbersAndTitlesWithQuotesAreWrittenAsTheyAre) {
  SettingsValues v;
  v.main_left = -8;
  v.save_top = INT32_MIN;
  v.titles[0] = "\"quoted\"";
  v.titles[1] = " a\"b ";
  const std::string text = FormatSettings(v);
  EXPECT_NE(text.find("F1_X=-8\r\n"), std::string::npos);
  EXPECT_NE(text.find("F2_Y=-2147483648\r\n"), std::string::npos);
  EXPECT_NE(text.find("Tit1=\"\"quoted\"\"\r\n"), std::string::npos);
  EXPECT_NE(text.find("Tit2=\" a\"b \"\r\n"), std::string::npos);
}

TEST(Settings, WhatIsWrittenReadsBack) {
  ScratchDir dir;
  const std::string ini = dir / "p.ini";
  SettingsValues v = MovedWindowsAndClearedTitle();
  v.titles[1] = "\"both ends quoted\"";
  v.titles[3] = "  blanks around  ";
  ASSERT_TRUE(WriteSettings(ini, v));
  std::string value;
  EXPECT_TRUE(ReadIniValue("Form", "F1_X", value, ini, 22));
  EXPECT_EQ(value, "612");
  EXPECT_TRUE(ReadIniValue("Sets", "Tit2", value, ini, 128));
  EXPECT_EQ(value, v.titles[1]);
  EXPECT_TRUE(ReadIniValue("Sets", "Tit4", value, ini, 128));
  EXPECT_EQ(value, v.titles[3]);
  // A cleared title reads as absent.
  value = "stale";
  EXPECT_FALSE(ReadIniValue("Sets", "Tit3", value, ini, 128));
  EXPECT_EQ(value, "");
  EXPECT_FALSE(ReadIniValue("Sets", "Tit1", value, dir / "missing.ini", 128));
}

TEST(Settings, AFailedWriteKeepsTheOldFile) {
  ScratchDir dir;
  EXPECT_FALSE(WriteSettings((dir / "missing-folder") + "/p.ini", MovedWindowsAndClearedTitle()));
  EXPECT_FALSE(PathExists(dir / "missing-folder"));
}

TEST(ProfileReader, AnswersTheSettingsReads) {
  for (const IniCase& c : IniCases()) {
    char buffer[256];
    std::memset(buffer, '#', sizeof buffer);
    const uint32_t got = ParseProfileString(c.file, c.section.c_str(), c.key.c_str(), "", buffer, c.size);
    EXPECT_EQ(std::string(buffer, got), c.value) << c.file;
    EXPECT_EQ(buffer[got], '\0') << c.file;
  }
}

TEST(ProfileReader, ReadIniValueCutsToSizeMinusOne) {
  ScratchDir dir;
  WriteFileBytes(dir / "p.ini", "[Sets]\r\nTit1=\"abcdef\"\r\n");
  std::string value;
  EXPECT_TRUE(ReadIniValue("Sets", "Tit1", value, dir / "p.ini", 4));
  EXPECT_EQ(value, "abc");
}

}  // namespace
}  // namespace panestow::test
