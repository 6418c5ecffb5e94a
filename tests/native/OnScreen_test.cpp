#include "ui/OnScreen.h"

#include <gtest/gtest.h>

#include <ostream>

namespace panestow {

void PrintTo(const ScreenRect& r, std::ostream* os) {
  *os << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

namespace {

TEST(OnScreen, AWindowOutsideEveryWorkAreaMovesJustInsideTheNearestKeepingItsSize) {
  const std::vector<ScreenRect> one = {{0, 0, 1024, 768}};
  // A primary monitor with its taskbar along the bottom, and a second one
  // to its left.
  const std::vector<ScreenRect> two = {{0, 0, 1920, 1040}, {-1280, 0, 0, 1024}};
  const std::vector<ScreenRect> none;
  const struct {
    const char* what;
    const std::vector<ScreenRect>& areas;
    ScreenRect window, shown;
  } cases[] = {
      {"far off to the bottom right", one, {3000, 3000, 3220, 3250}, {804, 518, 1024, 768}},
      {"partly off at the top left", one, {-8, -5, 212, 245}, {-8, -5, 212, 245}},
      {"one pixel on screen", one, {1023, 767, 1243, 1017}, {1023, 767, 1243, 1017}},
      {"just off the right edge", one, {1024, 100, 1244, 350}, {804, 100, 1024, 350}},
      {"above the screen", one, {100, -400, 320, -150}, {100, 0, 320, 250}},
      {"larger than the screen", one, {2000, 0, 3200, 900}, {0, 0, 1200, 900}},
      {"on the primary monitor", two, {100, 100, 320, 350}, {100, 100, 320, 350}},
      {"on the second monitor", two, {-1000, 500, -780, 750}, {-1000, 500, -780, 750}},
      {"left of the second monitor", two, {-2000, 100, -1780, 350}, {-1280, 100, -1060, 350}},
      {"below the second monitor", two, {-700, 1500, -480, 1750}, {-700, 774, -480, 1024}},
      {"below, nearer the primary", two, {-300, 1500, -80, 1750}, {0, 790, 220, 1040}},
      {"on the taskbar only", two, {100, 1045, 300, 1075}, {100, 1010, 300, 1040}},
      {"far right of the primary", two, {5000, 500, 5220, 750}, {1700, 500, 1920, 750}},
      {"no monitors known", none, {3000, 3000, 3220, 3250}, {3000, 3000, 3220, 3250}},
  };
  for (const auto& c : cases) EXPECT_EQ(ReachablePlace(c.window, c.areas), c.shown) << c.what;
}

}  // namespace
}  // namespace panestow
