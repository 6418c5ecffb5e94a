#include "ui/TitleLimit.h"

#include <gtest/gtest.h>

namespace panestow::test {
namespace {

TEST(TitleLimit, CutsWhatWasInsertedToFitAtACharacterBoundary) {
  const std::string a60(60, 'a');
  struct Case {
    std::string before, after;
    size_t limit;
    std::string text;
    size_t caret;
  };
  const Case cases[] = {
      {"abc", "abcd", 4, "abcd", 4},                  // fits
      {"abc", "abXYZc", 4, "abXc", 3},                // typed or pasted in the middle
      {"ab", "ab表表", 5, "ab表", 4},                   // never half a character
      {"", "表表表", 5, "表表", 4},
      {a60, a60 + "表表表表表表", 64, a60 + "表表", 64},
      {"old", std::string(200, 'n'), 128, std::string(128, 'n'), 128},  // replaced whole
  };
  for (const Case& c : cases) {
    const FittedText fitted = FitToLimit(c.before, c.after, c.limit);
    EXPECT_EQ(fitted.text, c.text) << c.after;
    EXPECT_EQ(fitted.caret, c.caret) << c.after;
    EXPECT_LE(fitted.text.size(), c.limit);
  }
}

TEST(TitleLimit, DoubleByteTitlesStopAtSixtyFourCharacters) {
  std::string text;
  for (int i = 0; i < 100; ++i) text = FitToLimit(text, text + "設", 128).text;
  EXPECT_EQ(text.size(), 128u);
}

}  // namespace
}  // namespace panestow::test
