#include "tests/common/RegistryContract.h"

#include <algorithm>
#include <climits>

namespace panestow::test {
namespace {

using ::testing::ElementsAre;

std::vector<std::string> Sorted(std::vector<std::string> v) {
  std::sort(v.begin(), v.end());
  return v;
}

template <typename F>
std::string ErrorText(F f) {
  try {
    f();
  } catch (const RegistryError& e) {
    return e.what();
  }
  return "(no error)";
}

TEST_P(RegistryContract, PathsStartAtRootOrCurrentKeyAndCreateMissingKeys) {
  auto store = fixture().NewStore();
  const std::string base = fixture().Base();
  EXPECT_FALSE(store->OpenPath(base + "\\a\\b", false));
  ASSERT_TRUE(store->OpenPath(base + "\\a\\b", true));
  store->WriteText("where", "b");

  // Relative to the current key.
  ASSERT_TRUE(store->OpenPath("c", true));
  store->WriteText("where", "c");
  ASSERT_TRUE(store->OpenPath(base + "\\a\\b\\c", false));
  EXPECT_EQ(store->ReadText("where"), "c");

  // A path that fails to open leaves the current key as it was.
  EXPECT_FALSE(store->OpenPath(base + "\\missing", false));
  EXPECT_EQ(store->ReadText("where"), "c");

  // Without a current key a relative path starts at the root.
  store->ClosePath();
  store->ClosePath();  // harmless twice
  ASSERT_TRUE(store->OpenPath(base.substr(1) + "\\a\\b", false));
  EXPECT_EQ(store->ReadText("where"), "b");

  // A new store object sees what the last one wrote.
  store.reset();
  auto again = fixture().NewStore();
  ASSERT_TRUE(again->OpenPath(base + "\\a", false));
  std::vector<std::string> subkeys;
  again->ListSubkeys(subkeys);
  EXPECT_THAT(subkeys, ElementsAre("b"));
}

TEST_P(RegistryContract, TextAndNumbersRoundTripAndWritesReplaceAnyType) {
  auto store = fixture().NewStore();
  ASSERT_TRUE(store->OpenPath(fixture().Base(), false));
  const std::string sjis = "表示\t\"引用\"　";
  store->WriteText("Caption", sjis);
  store->WriteText("Empty", "");
  store->WriteText("", "default");
  store->WriteNumber("Left", 120);
  store->WriteNumber("Flags", -1);
  store->WriteNumber("Min", INT_MIN);
  EXPECT_EQ(store->ReadText("Caption"), sjis);
  EXPECT_EQ(store->ReadText("Empty"), "");
  EXPECT_EQ(store->ReadText(""), "default");
  EXPECT_EQ(store->ReadNumber("Left"), 120);
  EXPECT_EQ(store->ReadNumber("Flags"), -1);
  EXPECT_EQ(store->ReadNumber("Min"), INT_MIN);
  EXPECT_EQ(store->TypeOfValue("Caption"), RegDataType::Text);
  EXPECT_EQ(store->TypeOfValue("Left"), RegDataType::Integer);

  // Value names do not care about case; a write replaces the type too.
  store->WriteNumber("caption", 7);
  EXPECT_EQ(store->TypeOfValue("CAPTION"), RegDataType::Integer);
  EXPECT_EQ(store->ReadNumber("Caption"), 7);
  store->WriteText("Left", "x");
  EXPECT_EQ(store->TypeOfValue("Left"), RegDataType::Text);

  std::vector<RegValue> values;
  store->ListValueData(values);
  std::vector<std::string> names;
  for (const RegValue& v : values) {
    names.push_back(v.name);
    if (v.name == "Flags") {
      EXPECT_EQ(v.type, kRegDword);
      EXPECT_EQ(v.data, EncodeDword(0xFFFFFFFF));
    }
    if (v.name == "") {
      EXPECT_EQ(v.type, kRegSz);
      EXPECT_EQ(v.data, std::string("default", 8));
    }
  }
  EXPECT_THAT(Sorted(names), ElementsAre("", "Caption", "Empty", "Flags", "Left", "Min"));
  std::vector<std::string> listed;
  store->ListValues(listed);
  EXPECT_EQ(Sorted(listed), Sorted(names));
}

TEST_P(RegistryContract, TypesAndReadsOfEveryKindOfValue) {
  const std::string key = fixture().Base() + "\\types";
  fixture().SetRaw(key, "sz", kRegSz, std::string("ab\0cd\0", 6));
  fixture().SetRaw(key, "expand", kRegExpandSz, std::string("%PATH%\\x\0", 9));
  fixture().SetRaw(key, "binary", kRegBinary, std::string("\x01\x02", 2));
  fixture().SetRaw(key, "multi", kRegMultiSz, std::string("a\0b\0\0", 5));
  fixture().SetRaw(key, "qword", kRegQword, std::string(8, '\x01'));
  fixture().SetRaw(key, "short", kRegSz, std::string("ab\0", 3));
  fixture().SetRaw(key, "long", kRegSz, std::string("abcdef\0", 7));
  fixture().SetRaw(key, "dword", kRegDword, EncodeDword(0x80000000));
  auto store = fixture().NewStore();
  ASSERT_TRUE(store->OpenPath(key, false));

  EXPECT_EQ(store->TypeOfValue("sz"), RegDataType::Text);
  EXPECT_EQ(store->TypeOfValue("expand"), RegDataType::ExpandText);
  EXPECT_EQ(store->TypeOfValue("dword"), RegDataType::Integer);
  EXPECT_EQ(store->TypeOfValue("binary"), RegDataType::Binary);
  EXPECT_EQ(store->TypeOfValue("multi"), RegDataType::Other);
  EXPECT_EQ(store->TypeOfValue("qword"), RegDataType::Other);
  EXPECT_EQ(store->TypeOfValue("missing"), RegDataType::Other);

  EXPECT_EQ(store->ReadText("sz"), "ab");                // up to the first NUL
  EXPECT_EQ(store->ReadText("expand"), "%PATH%\\x");     // not expanded
  EXPECT_EQ(store->ReadText("missing"), "");
  EXPECT_EQ(store->ReadNumber("dword"), INT_MIN);

  EXPECT_EQ(ErrorText([&] { store->ReadText("dword"); }), "'dword' のデータ型が不正です");
  EXPECT_EQ(ErrorText([&] { store->ReadText("binary"); }), "'binary' のデータ型が不正です");
  EXPECT_EQ(ErrorText([&] { store->ReadNumber("missing"); }), "'missing' の取得に失敗しました");
  EXPECT_EQ(ErrorText([&] { store->ReadNumber("qword"); }), "'qword' の取得に失敗しました");
  EXPECT_EQ(ErrorText([&] { store->ReadNumber("long"); }), "'long' の取得に失敗しました");
  EXPECT_EQ(ErrorText([&] { store->ReadNumber("short"); }), "'short' のデータ型が不正です");
}

TEST_P(RegistryContract, RemovingValuesAndFailedWrites) {
  auto store = fixture().NewStore();
  ASSERT_TRUE(store->OpenPath(fixture().Base(), false));
  store->WriteNumber("a", 1);
  EXPECT_TRUE(store->RemoveValue("A"));
  EXPECT_FALSE(store->RemoveValue("a"));
  EXPECT_EQ(store->TypeOfValue("a"), RegDataType::Other);

  // The registry takes value names of up to 16383 characters.
  const std::string too_long(16384, 'v');
  EXPECT_EQ(ErrorText([&] { store->WriteText(too_long, "x"); }), "'" + too_long + "' の設定に失敗しました");
  EXPECT_EQ(ErrorText([&] { store->WriteNumber(too_long, 1); }), "'" + too_long + "' の設定に失敗しました");

  // Without a current key nothing can be read or written.
  store->ClosePath();
  EXPECT_EQ(ErrorText([&] { store->WriteNumber("a", 1); }), "'a' の設定に失敗しました");
  std::vector<std::string> names{"stale"};
  store->ListValues(names);
  EXPECT_TRUE(names.empty());
}

TEST_P(RegistryContract, KeyThatCannotBeOpenedForAllAccessFailsToOpen) {
  const std::string key = fixture().Base() + "\\locked";
  fixture().SetRaw(key, "v", kRegDword, EncodeDword(1));
  fixture().MakeReadOnly(key);
  auto store = fixture().NewStore();
  ASSERT_TRUE(store->OpenPath(fixture().Base(), false));
  store->WriteNumber("marker", 5);
  EXPECT_FALSE(store->OpenPath(key, false));
  EXPECT_FALSE(store->OpenPath(key, true));
  // The current key is still the one opened before.
  EXPECT_EQ(store->ReadNumber("marker"), 5);
}

TEST_P(RegistryContract, KeyThatMayOnlyBeReadOpensToReadAndTakesNoWrites) {
  const std::string key = fixture().Base() + "\\locked\\command";
  fixture().SetRaw(key, "", kRegSz, std::string("C:\\x.exe \"%1\"\0", 15));
  fixture().MakeReadOnly(key);
  auto store = fixture().NewStore();
  ASSERT_TRUE(store->OpenPathToRead(key));
  EXPECT_EQ(store->ReadText(""), "C:\\x.exe \"%1\"");
  EXPECT_EQ(ErrorText([&] { store->WriteText("", "y"); }), "'' の設定に失敗しました");
  EXPECT_EQ(ErrorText([&] { store->WriteNumber("n", 1); }), "'n' の設定に失敗しました");
  EXPECT_FALSE(store->RemoveValue(""));
  EXPECT_EQ(store->ReadText(""), "C:\\x.exe \"%1\"");

  // Paths as for OpenPath: a missing key leaves the current one; a path
  // without a backslash goes on from the current key, or from the root.
  EXPECT_FALSE(store->OpenPathToRead(fixture().Base() + "\\missing"));
  EXPECT_EQ(store->ReadText(""), "C:\\x.exe \"%1\"");
  ASSERT_TRUE(store->OpenPathToRead(fixture().Base() + "\\locked"));
  ASSERT_TRUE(store->OpenPathToRead("command"));
  EXPECT_EQ(store->ReadText(""), "C:\\x.exe \"%1\"");
  store->ClosePath();
  ASSERT_TRUE(store->OpenPathToRead(key.substr(1)));
  EXPECT_EQ(store->ReadText(""), "C:\\x.exe \"%1\"");

  // Opened for all access again, a key that may be written takes writes.
  ASSERT_TRUE(store->OpenPath(fixture().Base(), false));
  store->WriteNumber("n", 2);
  EXPECT_EQ(store->ReadNumber("n"), 2);
}

TEST_P(RegistryContract, ClassesRootAndSwitchingRootsClosesTheKey) {
  const std::string key = fixture().ClassesBase() + "\\shell\\open\\command";
  fixture().SetRaw(key, "", kRegSz, std::string("\"C:\\x.exe\" \"%1\"\0", 17), true);
  auto store = fixture().NewStore();
  ASSERT_TRUE(store->OpenPath(fixture().Base(), false));
  store->SelectRoot(RegRoot::ClassesRoot);
  std::vector<std::string> names{"stale"};
  store->ListValues(names);
  EXPECT_TRUE(names.empty()) << "the key of the other root was not closed";
  ASSERT_TRUE(store->OpenPath(key, false));
  EXPECT_EQ(store->ReadText(""), "\"C:\\x.exe\" \"%1\"");
  store->SelectRoot(RegRoot::CurrentUser);
  EXPECT_FALSE(store->OpenPath(key, false));
}

// The wide view: exact names, types and bytes, whatever the ANSI code page
// could carry.

WideString Path(RegistryFixture& f, const char* rest) { return FromUtf8(f.Base().substr(1) + rest); }

std::vector<WideValue> AllValues(WideRegistry& wide, const WideString& path) {
  std::vector<WideValue> values;
  WideKeyPtr key;
  if (wide.Open(path, key) != OpenResult::Opened) return values;
  KeyCounts counts;
  EXPECT_TRUE(wide.Counts(*key, counts));
  for (uint32_t i = 0; i < counts.values; ++i) {
    WideValue v;
    EXPECT_TRUE(wide.EnumValue(*key, i, v)) << i;
    values.push_back(v);
  }
  WideValue past;
  EXPECT_FALSE(wide.EnumValue(*key, counts.values, past));
  return values;
}

TEST_P(RegistryContract, WideValuesOfEveryTypeComeBackExactly) {
  auto wide = fixture().NewWide();
  const WideString path = Path(fixture(), "\\wide\\deeper");
  WideKeyPtr key;
  ASSERT_TRUE(wide->Create(path, key));
  // A Shift-JIS name as the ANSI functions would spell it.
  const WideString sjis = wide->FromAnsi("表示");
  const std::vector<WideValue> values = {
      {u"", kRegSz, std::string("d\0\0\0", 4)},
      {sjis, kRegDword, EncodeDword(7)},
      {u"odd", kRegSz, std::string("abc", 3)},
      {u"three", kRegDword, std::string("\x01\x02\x03", 3)},
      {u"none", kRegNone, ""},
      {u"binary", kRegBinary, std::string("\0\xFF", 2)},
      {u"qword", kRegQword, std::string(8, '\x02')},
  };
  for (const WideValue& v : values) ASSERT_TRUE(wide->SetValue(*key, v));
  key.reset();
  std::vector<WideValue> got = AllValues(*wide, path);
  auto by_name = [](const WideValue& a, const WideValue& b) { return a.name < b.name; };
  std::vector<WideValue> want = values;
  std::sort(got.begin(), got.end(), by_name);
  std::sort(want.begin(), want.end(), by_name);
  EXPECT_TRUE(got == want);
  std::string ansi;
  EXPECT_TRUE(wide->ToAnsi(sjis, ansi));
  EXPECT_EQ(ansi, "表示");

  // The ANSI store sees the same value under the Shift-JIS name.
  auto store = fixture().NewStore();
  ASSERT_TRUE(store->OpenPath(fixture().Base() + "\\wide\\deeper", false));
  EXPECT_EQ(store->ReadNumber("表示"), 7);

  // A write replaces the value of that name, whatever the letter case.
  ASSERT_EQ(wide->Open(path, key), OpenResult::Opened);
  ASSERT_TRUE(wide->SetValue(*key, WideValue{u"QWORD", kRegDword, EncodeDword(1)}));
  KeyCounts counts;
  ASSERT_TRUE(wide->Counts(*key, counts));
  EXPECT_EQ(counts.values, values.size());
}

TEST_P(RegistryContract, WideKeysOpenCreateEmptyAndDelete) {
  auto wide = fixture().NewWide();
  WideKeyPtr key;
  EXPECT_EQ(wide->Open(Path(fixture(), "\\a"), key), OpenResult::Missing);
  ASSERT_TRUE(wide->Create(Path(fixture(), "\\a\\b\\c"), key));
  ASSERT_TRUE(wide->SetValue(*key, WideValue{u"v", kRegDword, EncodeDword(1)}));
  key.reset();
  ASSERT_EQ(wide->Open(Path(fixture(), "\\a"), key), OpenResult::Opened);
  KeyCounts counts;
  ASSERT_TRUE(wide->Counts(*key, counts));
  EXPECT_EQ(counts.subkeys, 1u);
  WideString name;
  ASSERT_TRUE(wide->EnumSubkey(*key, 0, name));
  EXPECT_EQ(name, u"b");
  // A key keeps the letter case it was made with, however it is opened.
  WideKeyPtr upper;
  ASSERT_EQ(wide->Open(Path(fixture(), "\\A\\B"), upper), OpenResult::Opened);
  ASSERT_TRUE(wide->KeyName(*upper, name));
  EXPECT_EQ(name, u"b");
  upper.reset();
  EXPECT_FALSE(wide->EnumSubkey(*key, 1, name));
  key.reset();

  // A key with subkeys is not deleted alone; a tree goes whole.
  EXPECT_FALSE(wide->DeleteKey(Path(fixture(), "\\a\\b")));
  EXPECT_EQ(wide->Open(Path(fixture(), "\\a\\b\\c"), key), OpenResult::Opened);
  key.reset();
  EXPECT_TRUE(wide->DeleteKey(Path(fixture(), "\\a\\b\\c")));
  EXPECT_EQ(wide->Open(Path(fixture(), "\\a\\b\\c"), key), OpenResult::Missing);
  // Likewise through a key already open, which goes with its values.
  ASSERT_TRUE(wide->Create(Path(fixture(), "\\a\\b\\c"), key));
  ASSERT_TRUE(wide->SetValue(*key, WideValue{u"v", kRegDword, EncodeDword(7)}));
  WideKeyPtr above;
  ASSERT_EQ(wide->Open(Path(fixture(), "\\a\\b"), above), OpenResult::Opened);
  EXPECT_FALSE(wide->DeleteOpenKey(*above)) << "it has a subkey";
  above.reset();
  EXPECT_TRUE(wide->DeleteOpenKey(*key));
  key.reset();
  EXPECT_EQ(wide->Open(Path(fixture(), "\\a\\b\\c"), key), OpenResult::Missing);
  ASSERT_TRUE(wide->Create(Path(fixture(), "\\a\\b\\c"), key));
  ASSERT_TRUE(wide->Counts(*key, counts));
  EXPECT_EQ(counts.values, 0u) << "made anew, the key holds nothing of the deleted one";
  ASSERT_TRUE(wide->Create(Path(fixture(), "\\a\\b\\c\\d"), key));
  key.reset();
  EXPECT_TRUE(wide->DeleteTree(Path(fixture(), "\\a\\b")));
  EXPECT_EQ(wide->Open(Path(fixture(), "\\a\\b"), key), OpenResult::Missing);
  EXPECT_TRUE(wide->DeleteTree(Path(fixture(), "\\a\\b"))) << "a missing key is no error";

  // Emptied, a key keeps itself but nothing in it.
  ASSERT_TRUE(wide->Create(Path(fixture(), "\\a\\x"), key));
  ASSERT_TRUE(wide->SetValue(*key, WideValue{u"w", kRegSz, std::string("x\0\0\0", 4)}));
  key.reset();
  ASSERT_EQ(wide->Open(Path(fixture(), "\\a"), key), OpenResult::Opened);
  ASSERT_TRUE(wide->SetValue(*key, WideValue{u"v", kRegSz, std::string("y\0\0\0", 4)}));
  ASSERT_TRUE(wide->Empty(*key));
  ASSERT_TRUE(wide->Counts(*key, counts));
  EXPECT_EQ(counts.values, 0u);
  EXPECT_EQ(counts.subkeys, 0u);
  key.reset();
  EXPECT_EQ(wide->Open(Path(fixture(), "\\a"), key), OpenResult::Opened);
}

TEST_P(RegistryContract, WideOpenTellsAKeyThatMayNotBeOpenedForAllAccess) {
  const std::string locked = fixture().Base() + "\\locked";
  fixture().SetRaw(locked, "v", kRegDword, EncodeDword(1));
  fixture().MakeReadOnly(locked);
  auto wide = fixture().NewWide();
  WideKeyPtr key;
  EXPECT_EQ(wide->Open(Path(fixture(), "\\locked"), key), OpenResult::Denied);
}

}  // namespace
}  // namespace panestow::test
