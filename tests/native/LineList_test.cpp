#include "layout/LineList.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/common/TestFiles.h"

namespace panestow::test {
namespace {

std::vector<std::string> Lines(const LineList& list) {
  std::vector<std::string> out;
  for (int32_t i = 0; i < list.Count(); ++i) out.push_back(list.LineAt(i));
  return out;
}

TEST(LineList, AppendAndSetLineKeepCrLfEndings) {
  LineList list;
  list.AppendLine("0");
  list.AppendLine("[Dialog]");
  list.AppendLine("");
  list.SetLine(0, "12");
  list.SetLine(-1, "ignored");
  list.SetLine(3, "ignored");
  EXPECT_EQ(list.Text(), "12\r\n[Dialog]\r\n\r\n");
  EXPECT_EQ(list.LineAt(1), "[Dialog]");
  EXPECT_EQ(list.LineAt(3), "");
  EXPECT_EQ(list.LineAt(-1), "");
  list.ClearLines();
  EXPECT_EQ(list.Text(), "");
  EXPECT_EQ(list.LineAt(0), "");  // an empty list reads as zero sections
}

TEST(LineList, CapacityBoundsTheTextAndAFailedAppendChangesNothing) {
  LineList list;
  const std::string big(LineList::kCapacity - 2 - 3, 'x');
  list.AppendLine(big);
  list.AppendLine("a");  // exactly at the capacity now
  EXPECT_EQ(list.Text().size(), LineList::kCapacity);
  EXPECT_THROW(list.AppendLine(""), Error);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Text().size(), LineList::kCapacity);
}

TEST(LineList, LoadSplitsAtCrLfLoneCrAndLoneLf) {
  struct Case {
    std::string bytes;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"", {}},
      {"\r\n", {""}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\nb\n", {"a", "b"}},
      {"a\rb\r", {"a", "b"}},
      {"a\r\n\nb", {"a", "", "b"}},
      {"a\n\r\nb", {"a", "", "b"}},
      {"a\r\rb", {"a", "", "b"}},
      {"last line without end", {"last line without end"}},
      {std::string("a\0b\r\nc", 6), {"a", "c"}},  // a line ends at a NUL
  };
  ScratchDir dir;
  for (const Case& c : cases) {
    WriteFileBytes(dir / "f.rg", c.bytes);
    LineList list;
    list.AppendLine("stale");
    list.LoadLines(dir / "f.rg");
    EXPECT_EQ(Lines(list), c.lines) << c.bytes;
  }
}

TEST(LineList, LongLinesComeBackWhole) {
  ScratchDir dir;
  const std::string line = "Caption\t\"" + std::string(5000, 'q') + "\"";
  WriteFileBytes(dir / "f.rg", "1\r\n" + line + "\r\n");
  LineList list;
  list.LoadLines(dir / "f.rg");
  EXPECT_EQ(list.LineAt(1), line);
}

TEST(LineList, SaveWritesTheTextAndLoadFailsWithTheOpenError) {
  ScratchDir dir;
  LineList list;
  list.AppendLine("1");
  list.AppendLine("[表]");
  list.SaveLines(dir / "f.rg");
  EXPECT_EQ(ReadFileBytes(dir / "f.rg"), "1\r\n[表]\r\n");

  const std::string missing = dir / "missing.rg";
  try {
    list.LoadLines(missing);
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), "ファイル " + missing + " は開けません");
  }
  EXPECT_THROW(list.SaveLines((dir / "no-such-folder") + "/f.rg"), Error);
}

TEST(LineList, LoadedTextWithOtherLineEndsIsWrittenBackWithCrLf) {
  ScratchDir dir;
  WriteFileBytes(dir / "f.rg", "0\n[a]\r0");
  LineList list;
  list.LoadLines(dir / "f.rg");
  list.SetLine(0, "1");
  list.AppendLine("x");
  EXPECT_EQ(list.Text(), "1\r\n[a]\r\n0\r\nx\r\n");
}

}  // namespace
}  // namespace panestow::test
