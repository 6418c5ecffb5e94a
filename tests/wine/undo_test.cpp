// The undo file against the real registry of the Wine prefix: Wine's own
// `reg import` of it gives back Jw_cad's keys exactly as they were before
// the restore, names outside code page 932 and every value type included,
// which shows the file is what regedit writes.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <vector>

#include "app/History.h"
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

TEST_F(WinUndoTest, WithoutJwCadsKeyTheUndoDeletesWhatTheRestoreCreatedAndNothingJwCadWroteSince) {
  for (bool by_reg_import : {false, true}) {
    SCOPED_TRACE(by_reg_import ? "reg import" : "the undo");
    DeleteJwCadKeys();
    ASSERT_TRUE(Restore("2\r\n[Dialog]\r\n1\r\nLeft\t7\r\n[Nest\\Deep]\r\n1\r\nAt\t\"x\"\r\n"));
    // Jw_cad fills its keys afterwards, beside and above what was restored.
    SetWide(u"Software\\Jw_cad\\jw_win", u"Own", REG_DWORD, EncodeDword(1));
    SetWide(u"Software\\Jw_cad\\jw_win\\Recent", u"File1", REG_SZ, Utf16(u"a.jww"));
    SetWide(u"Software\\Jw_cad\\Beside", u"B", REG_DWORD, EncodeDword(2));
    if (by_reg_import) {
      ASSERT_TRUE(RegImport(undo_));
    } else {
      ASSERT_TRUE(ApplyUndoFile(undo_, *wide_));
    }
    const std::map<std::string, std::string> expected = {
        {"Software\\Jw_cad", "key"},
        {"Software\\Jw_cad\\Beside", "key"},
        {"Software\\Jw_cad\\Beside : B", "4:" + EncodeDword(2)},
        {"Software\\Jw_cad\\jw_win", "key"},
        {"Software\\Jw_cad\\jw_win : Own", "4:" + EncodeDword(1)},
        {"Software\\Jw_cad\\jw_win\\Recent", "key"},
        {"Software\\Jw_cad\\jw_win\\Recent : File1", "1:" + Utf16(u"a.jww")},
    };
    EXPECT_EQ(State(), expected);
  }
}

TEST_F(WinUndoTest, WinesRegImportOfEveryRegistryEntryOfTheHistoryGivesBackItsKeys) {
  History history(PlatformFiles(), dir_ / "panestow.history");
  auto restore = [&](const std::string& layout, int slot) {
    WriteFileBytes(dir_ / "slot.rg", layout);
    RegistryStorePtr store = NewWinRegistryStore();
    RestoreTarget target{*store, *wide_, PlatformFiles(), undo_, true, &history, slot};
    LineList lines;
    return RestoreFromFile(dir_ / "slot.rg", lines, target);
  };
  SetWide(u"Software\\Jw_cad\\jw_win\\Dialog", u"Left", REG_DWORD, EncodeDword(5));
  SetWide(u"Software\\Jw_cad\\jw_win\\Dialog", u"表示", REG_SZ, Utf16(u"値"));
  const std::string layout = "2\r\n[Dialog]\r\n1\r\nLeft\t%\r\n[Nest\\Deep]\r\n1\r\nAt\t%\r\n";
  auto with = [&](char v) {
    std::string text = layout;
    std::replace(text.begin(), text.end(), '%', v);
    return text;
  };
  // Each change records the state before it, in this order.
  std::vector<std::map<std::string, std::string>> states;
  states.push_back(State());
  ASSERT_TRUE(restore(with('1'), 1));
  states.push_back(State());
  ASSERT_TRUE(restore(with('2'), 2));
  states.push_back(State());
  Keeping keeping{PlatformFiles(), &history, ""};
  ASSERT_TRUE(ApplyRegFile(undo_, *wide_, keeping, Change::Undo));
  states.push_back(State());
  std::vector<HistoryEntry> entries = history.Entries();
  ASSERT_EQ(entries.size(), 3u);
  Keeping put_back{PlatformFiles(), &history, undo_};
  ASSERT_TRUE(ApplyRegFile(history.PathOf(entries.back()), *wide_, put_back, Change::PutBack));
  EXPECT_EQ(State(), states[0]);

  entries = history.Entries();
  ASSERT_EQ(entries.size(), 4u);
  const std::vector<Change> kinds = {Change::PutBack, Change::Undo, Change::Restore, Change::Restore};
  // Newest first: before the put-back (state 3 again), before the undo
  // (state 2), before the restores (states 1 and 0). Imported in any
  // order, each gives back its own.
  const size_t recorded[] = {1, 2, 1, 0};
  for (size_t i : {size_t{2}, size_t{0}, size_t{3}, size_t{1}}) {
    SCOPED_TRACE(entries[i].name);
    EXPECT_EQ(entries[i].change, kinds[i]);
    ASSERT_TRUE(RegImport(history.PathOf(entries[i])));
    EXPECT_EQ(State(), states[recorded[i]]);
  }
}

TEST_F(WinUndoTest, ASectionWhoseKeyNameIsTooLongForTheRegistryIsPassedOver) {
  ASSERT_TRUE(Restore("3\r\n[Settings]\r\n1\r\nGrid\t4\r\n[" + std::string(300, 'k') +
                      "]\r\n2\r\nA\t1\r\nB\t2\r\n[UserBar]\r\n1\r\nTop\t8\r\n"));
  const auto state = State();
  EXPECT_EQ(state.at("Software\\Jw_cad\\jw_win\\Settings : Grid"), "4:" + EncodeDword(4));
  EXPECT_EQ(state.at("Software\\Jw_cad\\jw_win\\UserBar : Top"), "4:" + EncodeDword(8));
  EXPECT_EQ(state.size(), 6u);  // Jw_cad, jw_win, the two keys and a value each
}

}  // namespace
}  // namespace panestow::test
