// The undo file's format: what the writer writes for each kind of value,
// that the reader gives back exactly what was written, and that it refuses
// a file that is damaged or not one of its own.
#include "registry/RegFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "registry/RegistryStore.h"

namespace panestow::test {
namespace {

// UTF-16LE bytes of UTF-16 text.
std::string Bytes16(const WideString& text) {
  std::string out;
  for (char16_t c : text) {
    out += static_cast<char>(c & 0xFF);
    out += static_cast<char>(c >> 8);
  }
  return out;
}

std::string Sz(const WideString& text) { return Bytes16(text) + std::string(2, '\0'); }

// What a file holds, one entry per line the visitor saw.
struct Recorder : RegFileVisitor {
  std::vector<std::string> events;
  std::vector<WideValue> values;
  bool DeleteKey(const WideString& path) override {
    events.push_back("delete " + ToUtf8(path));
    return true;
  }
  bool Key(const WideString& path) override {
    events.push_back("key " + ToUtf8(path));
    return true;
  }
  bool Value(const WideValue& value) override {
    events.push_back("value " + ToUtf8(value.name));
    values.push_back(value);
    return true;
  }
};

struct Block {
  bool remove;
  WideString path;
  std::vector<WideValue> values;
};

std::string Write(const std::vector<Block>& blocks) {
  std::string file;
  RegFileWriter writer([&file](std::string_view bytes) {
    file.append(bytes);
    return true;
  });
  EXPECT_TRUE(writer.Begin(u"Panestow: Jw_cad's keys as they were before slot 1 was restored."));
  for (const Block& b : blocks) {
    if (b.remove) {
      EXPECT_TRUE(writer.DeleteKey(b.path));
      continue;
    }
    EXPECT_TRUE(writer.BeginKey(b.path));
    for (const WideValue& v : b.values) EXPECT_TRUE(writer.Value(v));
    EXPECT_TRUE(writer.EndKey());
  }
  EXPECT_TRUE(writer.Finish());
  return file;
}

// The file's text, less its byte-order mark, in UTF-8.
std::string Text(const std::string& file) {
  WideString text;
  for (size_t i = 2; i + 1 < file.size(); i += 2) {
    text += static_cast<char16_t>(static_cast<unsigned char>(file[i]) | static_cast<unsigned char>(file[i + 1]) << 8);
  }
  return ToUtf8(text);
}

// Every kind of value the undo file must carry, and how it stands there.
struct ValueCase {
  const char* what;
  WideValue value;
  std::string line;  // its line in the file (UTF-8, u8 where it is not ASCII; without CR LF)
};

std::vector<ValueCase> ValueCases() {
  const WideString sjis = u"表示";
  const WideString korean = u"\uD55C";  // outside code page 932
  return {
      {"text with quotes and backslashes", {u"Path", kRegSz, Sz(u"C:\\JWW\\\"a\"")},
       "\"Path\"=\"C:\\\\JWW\\\\\\\"a\\\"\""},
      {"empty text", {u"Empty", kRegSz, Sz(u"")}, "\"Empty\"=\"\""},
      {"default value", {u"", kRegSz, Sz(u"main")}, "@=\"main\""},
      {"name with a quote", {u"a\"b", kRegDword, EncodeDword(1)}, "\"a\\\"b\"=dword:00000001"},
      {"text with CR LF", {u"Lines", kRegSz, Sz(u"a\r\nb")},
       "\"Lines\"=hex(1):61,00,0d,00,0a,00,62,00,00,00"},
      {"text without its NUL", {u"Bare", kRegSz, Bytes16(u"ab")}, "\"Bare\"=hex(1):61,00,62,00"},
      {"text with an inner NUL", {u"Inner", kRegSz, Sz(u"a") + Sz(u"b")},
       "\"Inner\"=hex(1):61,00,00,00,62,00,00,00"},
      {"no bytes at all", {u"Nothing", kRegSz, ""}, "\"Nothing\"=hex(1):"},
      {"expandable text", {u"Temp", kRegExpandSz, Sz(u"%T%")}, "\"Temp\"=hex(2):25,00,54,00,25,00,00,00"},
      {"multi-string", {u"Multi", kRegMultiSz, Sz(u"a") + Sz(u"") }, "\"Multi\"=hex(7):61,00,00,00,00,00"},
      {"binary", {u"Bin", kRegBinary, std::string("\x00\xff\x10", 3)}, "\"Bin\"=hex:00,ff,10"},
      {"qword", {u"Q", kRegQword, std::string("\x01\x02\x03\x04\x05\x06\x07\x08", 8)},
       "\"Q\"=hex(b):01,02,03,04,05,06,07,08"},
      {"big-endian dword", {u"Big", kRegDwordBigEndian, std::string("\x00\x00\x00\x07", 4)},
       "\"Big\"=hex(5):00,00,00,07"},
      {"none", {u"None", kRegNone, ""}, "\"None\"=hex(0):"},
      {"dword", {u"Left", kRegDword, EncodeDword(0xFFFFFFFF)}, "\"Left\"=dword:ffffffff"},
      {"dword of 3 bytes", {u"Short", kRegDword, std::string("\x01\x02\x03", 3)}, "\"Short\"=hex(4):01,02,03"},
      {"a type of its own", {u"Odd", 0x12345, "x"}, "\"Odd\"=hex(12345):78"},
      {"Shift-JIS name", {sjis, kRegSz, Sz(u"値")}, u8"\"表示\"=\"値\""},
      {"name outside code page 932", {korean, kRegSz, Sz(korean)}, u8"\"한\"=\"한\""},
      {"text with a lone surrogate", {u"Lone", kRegSz, Sz(u"\xD800")}, "\"Lone\"=hex(1):00,d8,00,00"},
      // What no registry editor reads back exactly: Panestow's own lines.
      {"text of an odd number of bytes", {u"Half", kRegSz, "abc"}, ";*\"Half\"=hex(1):61,62,63"},
      {"name with a line break", {u"a\nb", kRegDword, EncodeDword(2)}, ";*hex:61,00,0a,00,62,00=dword:00000002"},
  };
}

TEST(RegFile, EveryKindOfValueStandsAsRegeditWritesItAndReadsBackExactly) {
  const WideString key = u"Software\\Jw_cad\\jw_win\\Dialog";
  for (const ValueCase& c : ValueCases()) {
    SCOPED_TRACE(c.what);
    const std::string file = Write({{true, key, {}}, {false, key, {c.value}}});
    const std::string text = Text(file);
    EXPECT_NE(text.find("\r\n" + c.line + "\r\n"), std::string::npos) << text;
    Recorder read;
    ASSERT_TRUE(ReadRegFile(file, read)) << text;
    ASSERT_EQ(read.values.size(), 1u);
    EXPECT_TRUE(read.values[0] == c.value) << ToUtf8(read.values[0].name) << " type " << read.values[0].type;
  }
}

TEST(RegFile, FileIsUtf16WithHeaderDeletionsKeysAndAClosingChecksum) {
  const std::string file = Write({{true, u"Software\\Jw_cad\\jw_win\\Dialog", {}},
                                  {false, u"Software\\Jw_cad\\jw_win\\Dialog", {{u"Left", kRegDword, EncodeDword(10)}}},
                                  {true, u"Software\\Jw_cad\\jw_win\\New", {}}});
  ASSERT_EQ(file.substr(0, 2), std::string("\xFF\xFE", 2));
  const std::string text = Text(file);
  const std::string expected_start =
      "Windows Registry Editor Version 5.00\r\n\r\n"
      "; Panestow: Jw_cad's keys as they were before slot 1 was restored.\r\n\r\n"
      "[-HKEY_CURRENT_USER\\Software\\Jw_cad\\jw_win\\Dialog]\r\n\r\n"
      "[HKEY_CURRENT_USER\\Software\\Jw_cad\\jw_win\\Dialog]\r\n"
      "\"Left\"=dword:0000000a\r\n\r\n"
      "[-HKEY_CURRENT_USER\\Software\\Jw_cad\\jw_win\\New]\r\n\r\n"
      ";*end ";
  EXPECT_EQ(text.substr(0, expected_start.size()), expected_start);
  EXPECT_EQ(text.size(), expected_start.size() + 8 + 2);
  Recorder read;
  ASSERT_TRUE(ReadRegFile(file, read));
  EXPECT_EQ(read.events, (std::vector<std::string>{"delete Software\\Jw_cad\\jw_win\\Dialog",
                                                  "key Software\\Jw_cad\\jw_win\\Dialog", "value Left",
                                                  "delete Software\\Jw_cad\\jw_win\\New"}));
}

TEST(RegFile, LongDataGoesOnOverLinesOfEightyAndAKeyPathWithALineBreakIsPanestowsOwn) {
  const std::string data(100, '\x5a');
  const WideString odd_key = u"Software\\Jw_cad\\jw_win\\a\r\nb";
  const std::string file = Write({{false, u"Software\\Jw_cad\\jw_win\\Bar", {{u"Placement", kRegBinary, data}}},
                                  {true, odd_key, {}},
                                  {false, odd_key, {{u"v", kRegDword, EncodeDword(1)}}}});
  const std::string text = Text(file);
  size_t lines = 0;
  for (size_t at = text.find("\"Placement\"=hex:"); at != std::string::npos && lines < 10; ++lines) {
    const size_t end = text.find("\r\n", at);
    const std::string line = text.substr(at, end - at);
    EXPECT_LE(line.size(), 80u) << line;
    if (line.back() != '\\') break;
    at = end + 2;
    EXPECT_EQ(text.substr(at, 2), "  ");
  }
  EXPECT_EQ(lines, 4u) << text;
  EXPECT_NE(text.find(";*[-hex:53,00,"), std::string::npos) << text;
  EXPECT_NE(text.find(";*\"v\"=dword:00000001"), std::string::npos) << text;
  Recorder read;
  ASSERT_TRUE(ReadRegFile(file, read)) << text;
  ASSERT_EQ(read.values.size(), 2u);
  EXPECT_EQ(read.values[0].data, data);
  EXPECT_EQ(read.events[2], "delete " + ToUtf8(odd_key));
  EXPECT_EQ(read.events[3], "key " + ToUtf8(odd_key));
}

// CRC-32 of its own, to seal hand-made files as the writer seals its own.
uint32_t TestCrc(const std::string& bytes) {
  uint32_t crc = 0xFFFFFFFF;
  for (unsigned char b : bytes) {
    crc ^= b;
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  return ~crc;
}

std::string Sealed(const std::string& utf8_text) {
  std::string file = "\xFF\xFE" + Bytes16(FromUtf8(utf8_text));
  char hex[9];
  std::snprintf(hex, sizeof hex, "%08x", TestCrc(file));
  return file + Bytes16(FromUtf8(std::string(";*end ") + hex + "\r\n"));
}

TEST(RegFile, ADamagedFileOrOneItDidNotWriteIsRefusedWhole) {
  const std::string good = Write({{true, u"Software\\Jw_cad\\jw_win\\Dialog", {}},
                                  {false, u"Software\\Jw_cad\\jw_win\\Dialog", {{u"Left", kRegDword, EncodeDword(1)}}}});
  std::vector<std::pair<const char*, std::string>> bad;
  bad.push_back({"cut short", good.substr(0, good.size() - 20)});
  bad.push_back({"cut at a line end", good.substr(0, good.find(Bytes16(u";*end")))});
  std::string changed = good;
  changed[good.find(Bytes16(u"dword:")) + 14] ^= 1;
  bad.push_back({"a byte changed", changed});
  bad.push_back({"no byte-order mark", good.substr(2)});
  bad.push_back({"odd length", good + "x"});
  const std::string header = "Windows Registry Editor Version 5.00\r\n\r\n";
  bad.push_back({"another header", Sealed("REGEDIT4\r\n\r\n")});
  bad.push_back({"a value outside a key", Sealed(header + "\"Left\"=dword:00000001\r\n\r\n")});
  bad.push_back({"a key of another root", Sealed(header + "[HKEY_LOCAL_MACHINE\\Software]\r\n\r\n")});
  bad.push_back({"a value deletion", Sealed(header + "[HKEY_CURRENT_USER\\a]\r\n\"x\"=-\r\n\r\n")});
  bad.push_back({"odd text bytes on an ordinary line", Sealed(header + "[HKEY_CURRENT_USER\\a]\r\n\"x\"=hex(1):41\r\n\r\n")});
  bad.push_back({"a bare backslash", Sealed(header + "[HKEY_CURRENT_USER\\a]\r\n\"x\\y\"=\"z\"\r\n\r\n")});
  bad.push_back({"a short dword", Sealed(header + "[HKEY_CURRENT_USER\\a]\r\n\"x\"=dword:1\r\n\r\n")});
  bad.push_back({"a lone LF", Sealed(header + "[HKEY_CURRENT_USER\\a]\n\r\n")});
  for (const auto& [what, bytes] : bad) {
    Recorder read;
    EXPECT_FALSE(ReadRegFile(bytes, read)) << what;
  }
  // The hand-made files are sealed right: a well-formed one is taken.
  Recorder read;
  EXPECT_TRUE(ReadRegFile(Sealed(header + "[HKEY_CURRENT_USER\\a]\r\n\"x\"=hex(1):41,00\r\n\r\n"), read));
  EXPECT_EQ(read.events, (std::vector<std::string>{"key a", "value x"}));
}

}  // namespace
}  // namespace panestow::test
