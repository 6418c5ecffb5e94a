#include "app/Func_.h"

#include <gtest/gtest.h>

namespace panestow {
namespace {

TEST(StrToIntOrZero, AcceptsOnlyWholeWellFormedIntegers) {
  struct Case {
    const char* text;
    int32_t expected;
  };
  const Case cases[] = {
      {"", 0},
      {"42", 42},
      {"  42", 42},
      {"42 ", 0},
      {"+42", 42},
      {"-42", -42},
      {"007", 7},
      {"-0", 0},
      {"2147483647", 2147483647},
      {"2147483648", 0},
      {"-2147483648", INT32_MIN},
      {"-2147483649", 0},
      {"00000000000000000042", 42},
      {"99999999999999999999", 0},
      {"$1F", 31},
      {"x1f", 31},
      {"X1F", 31},
      {"0x1F", 31},
      {"0X1f", 31},
      {"$FFFFFFFF", -1},
      {"$80000000", INT32_MIN},
      {"$000000001", 1},
      {"$100000000", 0},
      {"$", 0},
      {"0x", 0},
      {"x", 0},
      {"-", 0},
      {"+", 0},
      {"   ", 0},
      {"\t5", 0},
      {"1.5", 0},
      {"12px", 0},
      {"- 5", 0},
      {"+-5", 0},
      {"$1G", 0},
      {"１", 0},  // a full-width digit
      {"-$10", -16},
      {"+0x10", 16},
  };
  for (const Case& c : cases) EXPECT_EQ(StrToIntOrZero(c.text), c.expected) << '"' << c.text << '"';
}

TEST(StrToIntOrZero, EveryDecimalTheWritersProduceParsesBack) {
  for (int32_t v : {0, 1, -1, 194, -8, 65535, INT32_MAX, INT32_MIN, INT32_MIN + 1}) {
    EXPECT_EQ(StrToIntOrZero(std::to_string(v)), v);
  }
}

TEST(SubStr, CutsByBytesFromAOneBasedStart) {
  struct Case {
    const char* text;
    int32_t start, count;
    const char* expected;
  };
  const Case cases[] = {
      {"[Dialog]", 2, 6, "Dialog"},
      {"abc", 1, 3, "abc"},
      {"abc", 2, 100, "bc"},
      {"abc", 3, 1, "c"},
      {"abc", 4, 1, ""},
      {"abc", 1, 0, ""},
      {"abc", 1, -1, ""},
      {"", 1, 5, ""},
      {"表", 2, 1, "\x5C"},  // bytes, not characters: half a character
      {"abc", 2, INT32_MAX - 1, "bc"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SubStr(c.text, c.start, c.count), c.expected) << c.text << ' ' << c.start << ' ' << c.count;
  }
}

}  // namespace
}  // namespace panestow
