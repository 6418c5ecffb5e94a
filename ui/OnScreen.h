// Keeping a window within reach when it is shown: a place saved on a
// monitor that is no longer there is moved back onto one that is.
#pragma once

#include <cstdint>
#include <vector>

namespace panestow {

// Screen pixels; right and bottom lie just outside.
struct ScreenRect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const ScreenRect& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
};

// Where a window of outer rectangle `window` is shown, given the monitors'
// work areas: where it stands when any part of it lies in one of them;
// else, with its size, just inside the work area nearest to it (at its
// left or top edge when the window is larger). Without work areas, where
// it stands.
ScreenRect ReachablePlace(const ScreenRect& window, const std::vector<ScreenRect>& work_areas);

}  // namespace panestow
