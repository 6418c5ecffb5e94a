#include "ui/OnScreen.h"

#include <algorithm>

namespace panestow {

namespace {

bool Overlap(const ScreenRect& a, const ScreenRect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// The square of the shortest distance between two rectangles, 0 when they
// touch or overlap.
int64_t Distance2(const ScreenRect& a, const ScreenRect& b) {
  const int64_t dx = std::max<int64_t>({0, int64_t{b.left} - a.right, int64_t{a.left} - b.right});
  const int64_t dy = std::max<int64_t>({0, int64_t{b.top} - a.bottom, int64_t{a.top} - b.bottom});
  return dx * dx + dy * dy;
}

// `start` moved the least that puts [start, start + size) inside
// [low, high), or at `low` when it is larger.
int32_t Inside(int32_t start, int32_t size, int32_t low, int32_t high) {
  if (int64_t{start} + size > high) start = static_cast<int32_t>(int64_t{high} - size);
  return std::max(start, low);
}

}  // namespace

ScreenRect ReachablePlace(const ScreenRect& window, const std::vector<ScreenRect>& work_areas) {
  const ScreenRect* nearest = nullptr;
  for (const ScreenRect& area : work_areas) {
    if (Overlap(window, area)) return window;
    if (!nearest || Distance2(window, area) < Distance2(window, *nearest)) nearest = &area;
  }
  if (!nearest) return window;
  const int32_t width = window.right - window.left;
  const int32_t height = window.bottom - window.top;
  ScreenRect moved;
  moved.left = Inside(window.left, width, nearest->left, nearest->right);
  moved.top = Inside(window.top, height, nearest->top, nearest->bottom);
  moved.right = moved.left + width;
  moved.bottom = moved.top + height;
  return moved;
}

}  // namespace panestow
