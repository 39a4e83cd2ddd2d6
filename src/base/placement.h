// Where a window Lanvoy places goes on the screen.
#pragma once

namespace lanvoy {

struct ScreenRect {
  int left = 0, top = 0, width = 0, height = 0;
  bool operator==(const ScreenRect&) const = default;
};

// A window of this size centred over another one, then moved as little as needed to lie
// within the work area of the screen it is on. A window larger than the work area keeps its
// top left corner there, so that its caption stays reachable.
ScreenRect CentredOver(int width, int height, const ScreenRect& over, const ScreenRect& workArea);

}  // namespace lanvoy
