#include "base/placement.h"

#include <algorithm>

namespace lanvoy {

namespace {

int Within(int start, int size, int areaStart, int areaSize) {
  // The far edge first, so that a window too large for the area still begins on it.
  start = std::min(start, areaStart + areaSize - size);
  return std::max(start, areaStart);
}

}  // namespace

ScreenRect CentredOver(int width, int height, const ScreenRect& over, const ScreenRect& workArea) {
  ScreenRect r{over.left + (over.width - width) / 2, over.top + (over.height - height) / 2, width,
               height};
  if (workArea.width > 0 && workArea.height > 0) {
    r.left = Within(r.left, width, workArea.left, workArea.width);
    r.top = Within(r.top, height, workArea.top, workArea.height);
  }
  return r;
}

}  // namespace lanvoy
