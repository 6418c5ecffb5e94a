#include "layout/Restore.h"

#include <gtest/gtest.h>

#include "layout/Capture.h"
#include "layout/LayoutFile.h"
#include "registry/MemoryRegistryStore.h"
#include "tests/common/LayoutFixture.h"

namespace panestow::test {
namespace {

class RestoreTest : public ::testing::Test {
 protected:
  MemoryRegistry::Key* Subkey(const std::string& name) { return registry_.Create(JwCadSubkey(name)); }
  void Set(const std::string& key, const std::string& name, uint32_t type, const std::string& data) {
    MemoryRegistry::SetValue(Subkey(key), name, type, data);
  }
  bool Apply(const std::string& text) {
    LineList lines;
    lines.SetText(text);
    MemoryRegistryStore store(registry_);
    return ApplyLayout(lines, store);
  }
  // The Jw_cad key's contents, one line per key and value.
  std::string Dump() {
    MemoryRegistry::Key* jw = registry_.Find(JwCadKey());
    if (!jw) return "(no key)";
    std::string out;
    for (const RegValue& v : jw->values) out += "(jw_win value " + v.name + ")\n";
    for (const auto& key : jw->subkeys) {
      out += "[" + key->name + "]\n";
      for (const RegValue& v : key->values) {
        out += v.name + (v.type == kRegSz ? " sz " + std::string(v.data.c_str())
                                          : " type" + std::to_string(v.type) + " " + std::to_string(v.data.size()));
        if (v.type == kRegDword) out += " =" + std::to_string(DecodeDword(v.data));
        out += "\n";
      }
      for (const auto& sub : key->subkeys) out += "  sub " + sub->name + "\n";
    }
    return out;
  }

  MemoryRegistry registry_;
};

TEST_F(RestoreTest, ValueLinesWriteTextNumbersOrNothing) {
  struct Case {
    std::string line;
    std::string written;  // Dump() lines of [Dialog]'s values, empty for none
  };
  const Case cases[] = {
      {"Left\t120", "Left type4 4 =120\n"},
      {"Caption\t\"abc\"", "Caption sz abc\n"},
      {"Flags\t-1", "Flags type4 4 =4294967295\n"},
      {"Hex\t$1F", "Hex type4 4 =31\n"},
      {"Blank\t12 ", "Blank type4 4 =0\n"},
      {"Two\t1\t2", "Two type4 4 =0\n"},
      {"Tabbed\t\"x\ty\"", "Tabbed sz x\ty\n"},
      {"Inner\t\"a\"b\"", "Inner sz a\"b\n"},
      {"OneQuote\t\"", "OneQuote sz \n"},
      {"TwoQuotes\t\"\"", "TwoQuotes sz \n"},
      {"Unclosed\t\"ab", "Unclosed sz a\n"},
      {"Doubled\t\x81\x40\x81\x40", "Doubled type4 4 =0\n"},
      {"NoTab", ""},
      {"", ""},
      {"\t\"default\"", ""},
      {"\x81\x40\t1", ""},
      {"Placeholder\t\x81\x40", ""},
      {"Empty\t", ""},
  };
  for (const Case& c : cases) {
    registry_ = MemoryRegistry();
    ASSERT_TRUE(Apply("1\r\n[Dialog]\r\n1\r\n" + c.line + "\r\n"));
    EXPECT_EQ(Dump(), "[Dialog]\n" + c.written) << c.line;
  }
}

TEST_F(RestoreTest, EmptiesEachSubkeyThenWritesInFileOrder) {
  Set("Dialog", "", kRegSz, SzBytes("default"));
  Set("Dialog", "Old", kRegBinary, "\x01");
  Set("Dialog", "Keep", kRegExpandSz, SzBytes("%X%"));
  Set("Dialog", "Left", kRegSz, SzBytes("was text"));
  Set("Other", "Untouched", kRegDword, DwordBytes(7));
  ASSERT_TRUE(Apply(
      "3\r\n"
      "[Dialog]\r\n3\r\nLeft\t5\r\nTop\t\"t\"\r\nLeft\t6\r\n"
      "[USERBAR]\r\n0\r\n"
      "TOOLBAR-1\r\n0\r\n"));
  EXPECT_EQ(Dump(),
            "[Dialog]\nLeft type4 4 =6\nTop sz t\n"
            "[Other]\nUntouched type4 4 =7\n"
            "[USERBAR]\n"
            "[OOLBAR-]\n");  // a header without brackets loses its first and last byte
}

TEST_F(RestoreTest, AHeaderWithABackslashMakesNestedKeys) {
  ASSERT_TRUE(Apply("1\r\n[a\\b]\r\n1\r\nv\t1\r\n"));
  EXPECT_NE(registry_.Find(JwCadSubkey("a\\b")), nullptr);
}

TEST_F(RestoreTest, ASectionCountOfZeroOrLessOrNotANumberChangesNothing) {
  Set("Dialog", "v", kRegDword, DwordBytes(1));
  const std::string before = Dump();
  for (const char* first : {"", "0", "-1", "abc", "1 ", "\x82\x50"}) {
    EXPECT_TRUE(Apply(std::string(first) + "\r\n[Dialog]\r\n0\r\n")) << first;
    EXPECT_EQ(Dump(), before) << first;
  }
  EXPECT_TRUE(Apply(""));
  EXPECT_EQ(Dump(), before);
}

TEST_F(RestoreTest, WrongCountsReadLinesInTheWrongRoles) {
  // One section announced, two present: the second stays unapplied.
  ASSERT_TRUE(Apply("1\r\n[A]\r\n1\r\nx\t1\r\n[B]\r\n1\r\ny\t2\r\n"));
  EXPECT_EQ(Dump(), "[A]\nx type4 4 =1\n");
  // Two values announced, one present: the next header is read as a value
  // line (no TAB: nothing written), its count line "0" as the next header,
  // which names no subkey, and the following line as that section's count.
  registry_ = MemoryRegistry();
  ASSERT_TRUE(Apply("2\r\n[A]\r\n2\r\nx\t1\r\n[B]\r\n0\r\n[C]\r\n0\r\n"));
  EXPECT_EQ(Dump(), "[A]\nx type4 4 =1\n");
}

TEST_F(RestoreTest, LoneLfAndLoneCrReadLikeCrLf) {
  const std::string crlf = "2\r\n[A]\r\n1\r\nx\t\"1\"\r\n[B]\r\n0\r\n";
  ASSERT_TRUE(Apply(crlf));
  const std::string expected = Dump();
  for (const char* end : {"\n", "\r"}) {
    registry_ = MemoryRegistry();
    std::string text = crlf;
    for (size_t p; (p = text.find("\r\n")) != std::string::npos;) text.replace(p, 2, end);
    ASSERT_TRUE(Apply(text));
    EXPECT_EQ(Dump(), expected);
  }
}

TEST_F(RestoreTest, ASubkeyThatCannotBeOpenedIsPassedOver) {
  Set("Locked", "kept", kRegDword, DwordBytes(1));
  Subkey("Locked")->writable = false;
  ASSERT_TRUE(Apply("3\r\n[A]\r\n1\r\nx\t1\r\n[Locked]\r\n2\r\nkept\t5\r\nnew\t6\r\n[B]\r\n1\r\ny\t2\r\n"));
  EXPECT_EQ(Dump(), "[Locked]\nkept type4 4 =1\n[A]\nx type4 4 =1\n[B]\ny type4 4 =2\n");
}

TEST_F(RestoreTest, AFailedWriteStopsTheWalkAndKeepsWhatWasDone) {
  for (const char* key : {"S1", "S2", "S3", "S4", "S5"}) Set(key, "old", kRegDword, DwordBytes(0));
  const std::string bad_name(16384, 'n');  // longer than the registry takes
  EXPECT_FALSE(Apply("5\r\n"
                     "[S1]\r\n1\r\na\t1\r\n"
                     "[S2]\r\n1\r\nb\t2\r\n"
                     "[S3]\r\n3\r\nc\t3\r\n" + bad_name + "\t4\r\nd\t5\r\n"
                     "[S4]\r\n1\r\ne\t6\r\n"
                     "[S5]\r\n1\r\nf\t7\r\n"));
  EXPECT_EQ(Dump(),
            "[S1]\na type4 4 =1\n[S2]\nb type4 4 =2\n[S3]\nc type4 4 =3\n"
            "[S4]\nold type4 4 =0\n[S5]\nold type4 4 =0\n");
}

// What the file promises past its end is not acted on, however large.
TEST_F(RestoreTest, CountsPastTheEndOfTheFileStopThere) {
  Set("Dialog", "v", kRegDword, DwordBytes(1));
  registry_.operations = 0;
  ASSERT_TRUE(Apply("2147483647\r\n[A]\r\n2147483647\r\nx\t1\r\n"));
  EXPECT_LT(registry_.operations, 20);
  EXPECT_EQ(Dump(), "[Dialog]\nv type4 4 =1\n[A]\nx type4 4 =1\n");

  // A header on the last line: its section exists, with no values.
  ASSERT_TRUE(Apply("9\r\n[B]"));
  EXPECT_NE(registry_.Find(JwCadSubkey("B")), nullptr);

  // A subkey that fails to open with a huge count skips to the end.
  Subkey("Locked")->writable = false;
  registry_.operations = 0;
  ASSERT_TRUE(Apply("3\r\n[Locked]\r\n2147483647\r\nx\t1\r\n[C]\r\n0\r\n"));
  EXPECT_EQ(registry_.Find(JwCadSubkey("C")), nullptr);
  EXPECT_LT(registry_.operations, 20);
}

TEST_F(RestoreTest, SectionsNamingTheJwCadKeyItselfAreSkipped) {
  MemoryRegistry::SetValue(registry_.Create(JwCadKey()), "Own", kRegDword, DwordBytes(3));
  // "[]", "[\]" and "[\\]" would name the Jw_cad key itself; "[" and a
  // blank line give empty names too.
  ASSERT_TRUE(Apply("6\r\n"
                    "[]\r\n1\r\nOwn\t9\r\n"
                    "[\\]\r\n1\r\nOwn\t9\r\n"
                    "[\\\\]\r\n1\r\nOwn\t9\r\n"
                    "[\r\n1\r\nOwn\t9\r\n"
                    "\r\n0\r\n"
                    "[After]\r\n1\r\nx\t1\r\n"));
  EXPECT_EQ(Dump(), "(jw_win value Own)\n[After]\nx type4 4 =1\n");
  EXPECT_EQ(registry_.Find(JwCadKey())->values[0].data, DwordBytes(3));
}

TEST_F(RestoreTest, CaptureThenRestoreGivesBackTextAndNumbersWhole) {
  const std::string long_text(5000, 'L');
  Set("Dialog", "Long", kRegSz, SzBytes(long_text));
  Set("Dialog", "Tabs", kRegSz, SzBytes("a\t\"b\"\t"));
  Set("Dialog", "Empty", kRegSz, SzBytes(""));
  Set("Dialog", "Space", kRegSz, SzBytes("\x81\x40"));
  Set("Dialog", "Min", kRegDword, DwordBytes(0x80000000));
  Set("Dialog", "Binary", kRegBinary, "\x01\x02");
  Set("Dialog", "", kRegSz, SzBytes("default"));
  Set("ToolBar-表", "名前", kRegSz, SzBytes("値"));
  LineList lines;
  {
    MemoryRegistryStore store(registry_);
    ASSERT_TRUE(CaptureLayout(store, lines));
  }
  const std::string captured = Dump();
  // Jw_cad scrambles its keys; the restore puts back what was captured.
  Set("Dialog", "Long", kRegSz, SzBytes("short"));
  Set("Dialog", "Min", kRegDword, DwordBytes(1));
  Set("Dialog", "Extra", kRegDword, DwordBytes(1));
  ASSERT_TRUE(Apply(lines.Text()));
  EXPECT_EQ(Dump(),
            "[Dialog]\nLong sz " + long_text +
                "\nTabs sz a\t\"b\"\t\nEmpty sz \nSpace sz \x81\x40\nMin type4 4 =2147483648\n"
                "[ToolBar-表]\n名前 sz 値\n");
  EXPECT_NE(captured, Dump()) << "the binary and default values are not written back";
}

}  // namespace
}  // namespace panestow::test
