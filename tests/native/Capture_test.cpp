#include "layout/Capture.h"

#include <gtest/gtest.h>

#include "layout/LayoutFile.h"
#include "registry/MemoryRegistryStore.h"
#include "tests/common/LayoutFixture.h"

namespace panestow::test {
namespace {

class CaptureTest : public ::testing::Test {
 protected:
  MemoryRegistry::Key* Subkey(const std::string& name) { return registry_.Create(JwCadSubkey(name)); }
  void Set(const std::string& key, const std::string& name, uint32_t type, const std::string& data) {
    MemoryRegistry::SetValue(Subkey(key), name, type, data);
  }
  bool Capture() {
    MemoryRegistryStore store(registry_);
    return CaptureLayout(store, lines_);
  }

  MemoryRegistry registry_;
  LineList lines_;
};

TEST_F(CaptureTest, WritesTextNumbersPlaceholderAndAnEmptySubkeyByteForByte) {
  Set("Dialog", "", kRegSz, SzBytes("Main"));
  Set("Dialog", "Left", kRegDword, DwordBytes(120));
  Set("Dialog", "Flags", kRegDword, DwordBytes(0xFFFFFFFF));
  Set("Dialog", "Position", kRegBinary, "\x01\x02\x03\x04");
  Subkey("ToolBar-Edit");
  Subkey("Recent");  // not captured
  ASSERT_TRUE(Capture());
  const std::string expected =
      "2\r\n"
      "[Dialog]\r\n"
      "4\r\n"
      "\t\"Main\"\r\n"
      "Left\t120\r\n"
      "Flags\t-1\r\n"
      "Position\t\x81\x40\r\n"
      "[ToolBar-Edit]\r\n"
      "0\r\n";
  EXPECT_EQ(lines_.Text(), expected);
  EXPECT_EQ(lines_.Text().size(), 77u);
}

TEST(CaptureFilter, KeepsTheLayoutSubkeysOnly) {
  const char* const passing[] = {"Dialog", "dialog", "DIALOG", "FileView", "LayerBar", "LayerGroupBar",
                                 "Settings", "UserBar", "ToolBar-1", "MainToolbar-Draw", "TOOLBAR-",
                                 "表toolbar-x"};
  const char* const failing[] = {"Dialogs", "LayerBar2", "ToolBar", "ToolsBar-1", "Recent", "", " Dialog",
                                 // The T of TOOLBAR- is the second byte of ト (0x83 0x54) here.
                                 "\x83\x54OOLBAR-",
                                 // ャ (0x83 0x61) must not become 0x83 0x41 and make "A" appear.
                                 "\x83\x61"};
  for (const char* name : passing) EXPECT_TRUE(PassesCaptureFilter(name)) << name;
  for (const char* name : failing) EXPECT_FALSE(PassesCaptureFilter(name)) << name;
}

TEST(CaptureDataField, QuotesTextSignsNumbersAndHidesEveryOtherType) {
  struct Case {
    uint32_t type;
    std::string data;
    std::string field;
  };
  const Case cases[] = {
      {kRegSz, SzBytes("abc"), "\"abc\""},
      {kRegSz, SzBytes(""), "\"\""},
      {kRegSz, "", "\"\""},
      {kRegSz, "no terminator", "\"no terminator\""},
      {kRegSz, std::string("up to\0the NUL\0", 14), "\"up to\""},
      {kRegSz, SzBytes("tab\there \"quoted\""), "\"tab\there \"quoted\"\""},
      {kRegSz, SzBytes("\x81\x40"), "\"\x81\x40\""},  // never equal to the placeholder
      {kRegDword, DwordBytes(0), "0"},
      {kRegDword, DwordBytes(120), "120"},
      {kRegDword, DwordBytes(0xFFFFFFFF), "-1"},
      {kRegDword, DwordBytes(0x80000000), "-2147483648"},
      {kRegDword, "\x05", "5"},  // shorter than 4 bytes
      {kRegExpandSz, SzBytes("%TEMP%"), "\x81\x40"},
      {kRegMultiSz, std::string("a\0b\0\0", 5), "\x81\x40"},
      {kRegBinary, "\x01", "\x81\x40"},
      {kRegNone, "", "\x81\x40"},
      {kRegDwordBigEndian, DwordBytes(1), "\x81\x40"},
      {kRegQword, std::string(8, '\x01'), "\x81\x40"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DataField(RegValue{"v", c.type, c.data}), c.field) << "type " << c.type << " data " << c.data;
  }
  // A REG_DWORD longer than 4 bytes cannot be read as one.
  EXPECT_THROW(DataField(RegValue{"v", kRegDword, std::string(8, '\0')}), RegistryError);
}

TEST_F(CaptureTest, WithoutTheJwCadKeyTheFileIsOneZeroLine) {
  ASSERT_TRUE(Capture());
  EXPECT_EQ(lines_.Text(), "0\r\n");
}

TEST_F(CaptureTest, KeepsRegistryOrderAndCountsSubkeysThatDoNotOpen) {
  Set("UserBar", "b", kRegDword, DwordBytes(2));
  Set("UserBar", "a", kRegDword, DwordBytes(1));
  Set("Settings", "x", kRegSz, SzBytes("y"));
  Subkey("Settings")->writable = false;  // listed but cannot be opened
  Set("Dialog", "z", kRegDword, DwordBytes(0));
  Set("Dialog\\Nested", "deep", kRegDword, DwordBytes(9));  // subkeys are not descended into
  ASSERT_TRUE(Capture());
  EXPECT_EQ(lines_.Text(),
            "3\r\n"
            "[UserBar]\r\n2\r\nb\t2\r\na\t1\r\n"
            "[Settings]\r\n0\r\n"
            "[Dialog]\r\n1\r\nz\t0\r\n");
}

TEST_F(CaptureTest, AReadThatFailsPartWayFailsTheCapture) {
  Set("Dialog", "ok", kRegDword, DwordBytes(1));
  Set("UserBar", "wide", kRegDword, std::string(8, '\x01'));
  EXPECT_FALSE(Capture());
}

TEST_F(CaptureTest, ALayoutPastTheLineListCapacityFailsTheCapture) {
  Set("Dialog", "huge", kRegSz, SzBytes(std::string(LineList::kCapacity, 'x')));
  EXPECT_FALSE(Capture());
}

}  // namespace
}  // namespace panestow::test
