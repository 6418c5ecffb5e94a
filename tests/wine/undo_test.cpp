// The undo file against the real registry of the Wine prefix: Wine's own
// `reg import` of it gives back Jw_cad's keys exactly as they were before
// the restore, names outside code page 932 and every value type included,
// which shows the file is what regedit writes.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>

#include "app/files.h"
#include "layout/LayoutFile.h"
#include "layout/Restore.h"
#include "layout/Undo.h"
#include "registry/RegistryStore_win.h"
#include "registry/WideRegistry_win.h"
#include "tests/common/LayoutFixture.h"
#include "tests/common/RawRegistry_win.h"
#include "tests/common/Sandbox_win.h"
#include "tests/common/TestFiles.h"

namespace panestow::test {
namespace {

std::wstring Wide(const char16_t* s) { return std::wstring(reinterpret_cast<const wchar_t*>(s)); }

void SetWide(const char16_t* path, const char16_t* name, DWORD type, const std::string& data) {
  HKEY key;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, Wide(path).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExW(key, Wide(name).c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                           static_cast<DWORD>(data.size())),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

std::string Utf16(const char16_t* text, bool with_nul = true) {
  std::string out;
  for (const char16_t* p = text; *p; ++p) {
    out += static_cast<char>(*p & 0xFF);
    out += static_cast<char>(*p >> 8);
  }
  if (with_nul) out += std::string(2, '\0');
  return out;
}

// Every key under `path` with every value, names in UTF-8, subkeys by name.
void Dump(WideRegistry& wide, const WideString& path, std::map<std::string, std::string>& out) {
  WideKeyPtr key;
  if (wide.Open(path, key) != OpenResult::Opened) return;
  KeyCounts counts;
  ASSERT_TRUE(wide.Counts(*key, counts));
  out[ToUtf8(path)] = "key";
  for (uint32_t i = 0; i < counts.values; ++i) {
    WideValue v;
    ASSERT_TRUE(wide.EnumValue(*key, i, v));
    out[ToUtf8(path) + " : " + ToUtf8(v.name)] = std::to_string(v.type) + ":" + v.data;
  }
  for (uint32_t i = 0; i < counts.subkeys; ++i) {
    WideString name;
    ASSERT_TRUE(wide.EnumSubkey(*key, i, name));
    Dump(wide, path + u"\\" + name, out);
  }
}

bool RegImport(const std::string& file) {
  std::string line = "C:\\windows\\system32\\reg.exe import \"" + file + "\"";
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi;
  if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi)) {
    return false;
  }
  WaitForSingleObject(pi.hProcess, 30000);
  DWORD code = 1;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return code == 0;
}

class WinUndoTest : public JwCadKeysTest {
 protected:
  std::map<std::string, std::string> State() {
    std::map<std::string, std::string> out;
    Dump(*wide_, wide_->FromAnsi(JwCadVendorKey()), out);
    return out;
  }
  bool Restore(const std::string& layout) {
    WriteFileBytes(dir_ / "panestow.rg", layout);
    RegistryStorePtr store = NewWinRegistryStore();
    RestoreTarget target{*store, *wide_, PlatformFiles(), undo_};
    LineList lines;
    return RestoreFromFile(dir_ / "panestow.rg", lines, target);
  }

  ScratchDir dir_;
  std::string undo_ = dir_ / "panestow.undo.reg";
  WideRegistryPtr wide_ = NewWinWideRegistry();
};

TEST_F(WinUndoTest, WinesRegImportOfTheUndoFileGivesBackTheKeysExactly) {
  const char16_t kDialog[] = u"Software\\Jw_cad\\jw_win\\Dialog";
  SetWide(kDialog, u"", REG_SZ, Utf16(u"default"));
  SetWide(kDialog, u"Left", REG_DWORD, EncodeDword(120));
  SetWide(kDialog, u"Path", REG_SZ, Utf16(u"C:\\JWW\\\"quoted\""));
  SetWide(kDialog, u"\uD55C\uAE00", REG_SZ, Utf16(u"\uD55C\uAE00 \u00E9"));  // outside code page 932
  SetWide(kDialog, u"表示", REG_SZ, Utf16(u"値"));
  SetWide(kDialog, u"Lines", REG_SZ, Utf16(u"a\r\nb"));
  SetWide(kDialog, u"Inner", REG_SZ, Utf16(u"a") + Utf16(u"b"));
  SetWide(kDialog, u"Empty", REG_SZ, Utf16(u""));
  SetWide(kDialog, u"Temp", REG_EXPAND_SZ, Utf16(u"%TEMP%\\jww"));
  SetWide(kDialog, u"Multi", REG_MULTI_SZ, Utf16(u"a") + Utf16(u"b") + std::string(2, '\0'));
  SetWide(kDialog, u"Bin", REG_BINARY, std::string(200, '\x5a'));  // over several lines
  SetWide(kDialog, u"Q", REG_QWORD, std::string("\x01\x02\x03\x04\x05\x06\x07\x08", 8));
  SetWide(kDialog, u"Big", REG_DWORD_BIG_ENDIAN, std::string("\x00\x00\x00\x07", 4));
  SetWide(kDialog, u"None", REG_NONE, "");
  SetWide(kDialog, u"Short", REG_DWORD, "\x01\x02\x03");
  SetWide(u"Software\\Jw_cad\\jw_win\\UserBar\\Inner", u"Kept", REG_SZ, Utf16(u"inner"));
  SetWide(u"Software\\Jw_cad\\jw_win\\UserBar", u"Top", REG_DWORD, EncodeDword(3));
  SetWide(u"Software\\Jw_cad\\jw_win\\Recent", u"File1", REG_SZ, Utf16(u"a.jww"));
  const auto before = State();

  ASSERT_TRUE(Restore("4\r\n[Dialog]\r\n1\r\nLeft\t7\r\n[UserBar]\r\n1\r\nTop\t1\r\n"
                      "[ToolBar-New]\r\n1\r\nShown\t1\r\n[Nest\\Deep]\r\n1\r\nAt\t\"x\"\r\n"));
  ASSERT_NE(State(), before);
  ASSERT_TRUE(FileExists(undo_));
  ASSERT_TRUE(RegImport(undo_));
  EXPECT_EQ(State(), before);

  // Panestow's own undo gives back the same.
  ASSERT_TRUE(Restore("1\r\n[Dialog]\r\n1\r\nLeft\t9\r\n"));
  ASSERT_TRUE(ApplyUndoFile(undo_, *wide_));
  EXPECT_EQ(State(), before);
}

TEST_F(WinUndoTest, WithoutJwCadsKeyTheUndoDeletesWhatTheRestoreCreated) {
  ASSERT_TRUE(Restore("1\r\n[Dialog]\r\n1\r\nLeft\t7\r\n"));
  ASSERT_FALSE(State().empty());
  ASSERT_TRUE(RegImport(undo_));
  EXPECT_TRUE(State().empty());
}

}  // namespace
}  // namespace panestow::test
