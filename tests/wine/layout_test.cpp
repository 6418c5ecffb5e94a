// Capture and restore against the registry of the Wine prefix.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>

#include "layout/Capture.h"
#include "layout/LayoutFile.h"
#include "layout/Restore.h"
#include "registry/RegistryStore_win.h"
#include "registry/WideRegistry_win.h"
#include "tests/common/LayoutFixture.h"
#include "tests/common/RawRegistry_win.h"
#include "tests/common/RecordingHosts.h"
#include "tests/common/Sandbox_win.h"
#include "tests/common/TestFiles.h"

namespace panestow::test {
namespace {

// Jw_cad's layout keys, behind the product's back.
void SetRaw(const std::string& subkey, const std::string& name, DWORD type, const std::string& data) {
  SetRawValue(HKEY_CURRENT_USER, std::string(kJwCadKeyPath) + (subkey.empty() ? "" : "\\" + subkey), name, type, data);
}

std::string TypeAndData(DWORD type, const std::string& data) { return std::to_string(type) + ":" + data; }

// Every subkey of the Jw_cad key as "subkey/" -> "key", and every value
// as "subkey\name" -> "type:data".
std::map<std::string, std::string> Snapshot() {
  std::map<std::string, std::string> out;
  for (const std::string& sub : ReadRawSubkeys(HKEY_CURRENT_USER, kJwCadKeyPath)) {
    out[sub + "/"] = "key";
    for (const auto& [name, shown] : ReadRawValues(HKEY_CURRENT_USER, std::string(kJwCadKeyPath) + "\\" + sub,
                                                   TypeAndData)) {
      out[sub + "\\" + name] = shown;
    }
  }
  return out;
}

using WinLayoutTest = JwCadKeysTest;

TEST_F(WinLayoutTest, CaptureThenRestoreGivesBackNamedTextAndNumbersOnly) {
  SetRaw("Dialog", "Caption", REG_SZ, SzBytes("tab\there \"quoted\""));
  SetRaw("Dialog", "Empty", REG_SZ, SzBytes(""));
  SetRaw("Dialog", "Space", REG_SZ, SzBytes("　"));
  SetRaw("Dialog", "Long", REG_SZ, SzBytes(std::string(6000, 'L')));
  SetRaw("Dialog", "Expand", REG_EXPAND_SZ, SzBytes("%TEMP%"));
  SetRaw("Dialog", "Binary", REG_BINARY, "\x01\x02\x03");
  SetRaw("Dialog", "Multi", REG_MULTI_SZ, std::string("a\0b\0\0", 5));
  SetRaw("Dialog", "Qword", REG_QWORD, std::string(8, '\x02'));
  SetRaw("Dialog", "", REG_SZ, SzBytes("default"));
  SetRaw("Dialog", "Min", REG_DWORD, DwordBytes(0x80000000));
  SetRaw("Dialog", "AllSet", REG_DWORD, DwordBytes(0xFFFFFFFF));
  SetRaw("ToolBar-表示", "名前", REG_SZ, SzBytes("値"));
  SetRaw("ToolBar-表示", "幅", REG_DWORD, DwordBytes(320));
  SetRaw("UserBar", "", REG_NONE, "");  // a subkey with no values
  SetRaw("Dialog\\Nested", "Deep", REG_DWORD, DwordBytes(1));
  SetRaw("Recent", "File1", REG_SZ, SzBytes("C:\\a.jww"));
  const auto before = Snapshot();

  LineList lines;
  {
    WinRegistryStore store;
    ASSERT_TRUE(CaptureLayout(store, lines));
  }
  EXPECT_EQ(lines.LineAt(0), "3");

  DeleteJwCadKeys();
  {
    WinRegistryStore store;
    ASSERT_TRUE(ApplyLayout(lines, store));
  }
  auto expected = before;
  for (const char* gone : {"Dialog\\Expand", "Dialog\\Binary", "Dialog\\Multi", "Dialog\\Qword", "Dialog\\",
                           "Recent/", "Recent\\File1"}) {
    ASSERT_EQ(expected.erase(gone), 1u) << gone;
  }
  EXPECT_EQ(Snapshot(), expected);
}

TEST_F(WinLayoutTest, RestoreEmptiesTheSubkeysItWritesAndLeavesTheOthers) {
  SetRaw("Dialog", "Stale", REG_BINARY, "\x01");
  SetRaw("Dialog", "", REG_SZ, SzBytes("default"));
  SetRaw("FileView", "Kept", REG_DWORD, DwordBytes(5));
  SetRaw("", "OwnValue", REG_DWORD, DwordBytes(6));
  LineList lines;
  lines.SetText("3\r\n[Dialog]\r\n1\r\nLeft\t-1\r\n[]\r\n1\r\nOwnValue\t9\r\n[LayerBar]\r\n0\r\n");
  {
    WinRegistryStore store;
    ASSERT_TRUE(ApplyLayout(lines, store));
  }
  const auto after = Snapshot();
  EXPECT_EQ(after.at("Dialog\\Left"), "4:" + DwordBytes(0xFFFFFFFF));
  EXPECT_EQ(after.count("Dialog\\Stale"), 0u);
  EXPECT_EQ(after.count("Dialog\\"), 0u) << "the default value was not removed";
  EXPECT_EQ(after.at("FileView\\Kept"), "4:" + DwordBytes(5));
  EXPECT_EQ(after.count("LayerBar/"), 1u);
  HKEY jw;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kJwCadKeyPath, 0, KEY_READ, &jw), ERROR_SUCCESS);
  DWORD v = 0, size = sizeof v;
  EXPECT_EQ(RegQueryValueExA(jw, "OwnValue", nullptr, nullptr, reinterpret_cast<BYTE*>(&v), &size), ERROR_SUCCESS);
  EXPECT_EQ(v, 6u) << "a value of the Jw_cad key itself was written";
  RegCloseKey(jw);
}

// Both windows' handlers over the real registry and files, without the
// windows, first shown in a folder of their own.
class WinFormsTest : public WinLayoutTest {
 protected:
  void SetUp() override {
    WinLayoutTest::SetUp();
    host.exe = dir / "Panestow.exe";
    host.command_line = "p.exe";
    form1.FormShow();
  }
  ScratchDir dir;
  RecordedWindows windows{NewWinRegistryStore, NewWinWideRegistry};
  RecordingMainHost& host = windows.main_host;
  TForm2& form2 = windows.form2;
  TForm1& form1 = windows.form1;
};

TEST_F(WinFormsTest, ALockedSlotFileRaisesTheOpenErrorAndChangesNothing) {
  SetRaw("Dialog", "Left", REG_DWORD, DwordBytes(1));
  WriteFileBytes(form1.SlotPath1, "1\r\n[Dialog]\r\n1\r\nLeft\t2\r\n");
  host.status = "before";

  HANDLE writer = CreateFileA(form1.SlotPath1.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  form1.LayoutPath = form1.SlotPath1;
  try {
    form1.RestoreLayout();
    ADD_FAILURE() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), "ファイル " + form1.SlotPath1 + " は開けません");
  }
  CloseHandle(writer);
  EXPECT_EQ(Snapshot().at("Dialog\\Left"), "4:" + DwordBytes(1));
  EXPECT_EQ(host.status, "before");
  EXPECT_TRUE(form1.RestoreLayout());
  EXPECT_EQ(Snapshot().at("Dialog\\Left"), "4:" + DwordBytes(2));
}

TEST_F(WinFormsTest, ASaveThatCannotBeWrittenKeepsTheSlotsOldFile) {
  SetRaw("Dialog", "Left", REG_DWORD, DwordBytes(3));

  WriteFileBytes(form1.SlotPath2, "old layout");
  SetFileAttributesA(form1.SlotPath2.c_str(), FILE_ATTRIBUTE_READONLY);
  form2.Button2Click();
  EXPECT_EQ(ReadFileBytes(form1.SlotPath2), "old layout");
  form2.SavePath = dir / "missing\\x.rg";
  form2.SaveLayout();
  EXPECT_FALSE(PathExists(dir / "missing"));
  form2.Button3Click();
  EXPECT_EQ(ReadFileBytes(form1.SlotPath3), "1\r\n[Dialog]\r\n1\r\nLeft\t3\r\n");
  const std::string failed = "Jw_cad画面レイアウトファイルが保存出来ませんでした。";
  EXPECT_EQ(windows.journal.messages,
            (std::vector<std::string>{failed, failed, "Jw_cad画面レイアウトファイルを保存しました。"}));
}

}  // namespace
}  // namespace panestow::test
