// Capture and restore against the registry of the Wine prefix.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>

#include "layout/Capture.h"
#include "layout/Restore.h"
#include "registry/RegistryStore_win.h"
#include "tests/common/LayoutFixture.h"
#include "tests/common/TestFiles.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"

namespace panestow::test {
namespace {

const char kJw[] = "Software\\Jw_cad\\jw_win";

void DeleteJwCadKey() { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Jw_cad"); }

void SetRaw(const std::string& subkey, const std::string& name, DWORD type, const std::string& data) {
  HKEY k;
  const std::string path = std::string(kJw) + (subkey.empty() ? "" : "\\" + subkey);
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr),
            ERROR_SUCCESS);
  if (!name.empty() || !data.empty()) {
    ASSERT_EQ(RegSetValueExA(k, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                             static_cast<DWORD>(data.size())),
              ERROR_SUCCESS);
  }
  RegCloseKey(k);
}

// Every subkey of the Jw_cad key as "subkey/" -> "key", and every value
// as "subkey\name" -> "type:data".
std::map<std::string, std::string> Snapshot() {
  std::map<std::string, std::string> out;
  HKEY jw;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kJw, 0, KEY_READ, &jw) != ERROR_SUCCESS) return out;
  char sub[512];
  for (DWORD i = 0;; ++i) {
    DWORD len = sizeof sub;
    if (RegEnumKeyExA(jw, i, sub, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    HKEY k;
    RegOpenKeyExA(jw, sub, 0, KEY_READ, &k);
    out[std::string(sub) + "/"] = "key";
    for (DWORD j = 0;; ++j) {
      char name[20000];
      std::string data(70000, '\0');
      DWORD nlen = sizeof name, dlen = static_cast<DWORD>(data.size()), type = 0;
      if (RegEnumValueA(k, j, name, &nlen, nullptr, &type, reinterpret_cast<BYTE*>(&data[0]), &dlen) != ERROR_SUCCESS) {
        break;
      }
      data.resize(dlen);
      out[std::string(sub) + "\\" + name] = std::to_string(type) + ":" + data;
    }
    RegCloseKey(k);
  }
  RegCloseKey(jw);
  return out;
}

class WinLayoutTest : public ::testing::Test {
 protected:
  void SetUp() override { DeleteJwCadKey(); }
  void TearDown() override { DeleteJwCadKey(); }
};

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

  DeleteJwCadKey();
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
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kJw, 0, KEY_READ, &jw), ERROR_SUCCESS);
  DWORD v = 0, size = sizeof v;
  EXPECT_EQ(RegQueryValueExA(jw, "OwnValue", nullptr, nullptr, reinterpret_cast<BYTE*>(&v), &size), ERROR_SUCCESS);
  EXPECT_EQ(v, 6u) << "a value of the Jw_cad key itself was written";
  RegCloseKey(jw);
}

// The windows' handlers as the product runs them, without the windows.
class NoWindows : public Form1Host, public Form2Host {
 public:
  std::string exe;
  std::vector<std::string> messages;
  std::string status;
  std::string ModuleFileName() override { return exe; }
  std::string CommandLine() override { return "p.exe"; }
  WindowBounds Bounds() override { return {}; }
  void SetLeft(int32_t) override {}
  void SetTop(int32_t) override {}
  void SetWidth(int32_t) override {}
  void SetHeight(int32_t) override {}
  int32_t ClientWidth() override { return 204; }
  void SetRestoreButtonWidth(int32_t) override {}
  void SetRestoreCaption(int, const std::string&) override {}
  void SetStatusText(const std::string& text) override { status = text; }
  void Close() override {}
  void ShowSaveWindowModal() override {}
  DialogResult ShowMessage(const std::string& text, DialogKind, unsigned buttons) override {
    messages.push_back(text);
    return buttons & kButtonYes ? DialogResult::Yes : DialogResult::Ok;
  }
  void Beep(uint32_t) override {}
  RegistryStorePtr NewRegistryStore() override { return NewWinRegistryStore(); }
  void ShellExec(const std::string&, const std::string&, const std::string&, const std::string&, int) override {}
  std::string Title(int) override { return ""; }
  void SetTitle(int, const std::string&) override {}
  int32_t Left() override { return 0; }
  int32_t Top() override { return 0; }
};

// Both windows' handlers over the real registry and files, first shown in
// a folder of their own.
class WinFormsTest : public WinLayoutTest {
 protected:
  WinFormsTest() : form2(host), form1(host, form2) {
    host.exe = dir / "Panestow.exe";
    form2.SetMainWindow(form1);
    form1.FormShow();
  }
  ScratchDir dir;
  NoWindows host;
  TForm2 form2;
  TForm1 form1;
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
  EXPECT_EQ(host.messages,
            (std::vector<std::string>{failed, failed, "Jw_cad画面レイアウトファイルを保存しました。"}));
}

}  // namespace
}  // namespace panestow::test
