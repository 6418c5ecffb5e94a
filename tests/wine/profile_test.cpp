// The settings reads through the real GetPrivateProfileStringA, case for
// case the same as the portable reader.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "app/UnitIni.h"
#include "app/profile.h"
#include "tests/common/IniCases.h"
#include "tests/common/TestFiles.h"

namespace panestow::test {
namespace {

TEST(WinProfile, GetPrivateProfileStringAgreesWithThePortableReader) {
  ScratchDir dir;
  const std::string ini = dir / "p.ini";
  for (const IniCase& c : IniCases()) {
    WriteFileBytes(ini, c.file);
    char windows[256], portable[256];
    std::memset(windows, '#', sizeof windows);
    std::memset(portable, '#', sizeof portable);
    const DWORD got = GetPrivateProfileStringA(c.section.c_str(), c.key.c_str(), "", windows, c.size, ini.c_str());
    const uint32_t got_portable = ParseProfileString(c.file, c.section.c_str(), c.key.c_str(), "", portable, c.size);
    EXPECT_EQ(std::string(windows, got), c.value) << c.file;
    EXPECT_EQ(std::string(portable, got_portable), std::string(windows, got)) << c.file;
  }
}

TEST(WinProfile, ReadIniValueGoesThroughTheService) {
  ScratchDir dir;
  WriteFileBytes(dir / "p.ini", "[sets]\r\ntit1=\"表示\"\r\n");
  std::string value;
  EXPECT_TRUE(ReadIniValue("Sets", "Tit1", value, dir / "p.ini", 128));
  EXPECT_EQ(value, "表示");
  EXPECT_FALSE(ReadIniValue("Sets", "Tit1", value, dir / "missing.ini", 128));
  EXPECT_EQ(value, "");
}

}  // namespace
}  // namespace panestow::test
