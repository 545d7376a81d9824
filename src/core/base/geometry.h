#pragma once
// Pixel rectangles of the window system, and the outline of the rounded window.
#include <vector>

namespace tavlin {

struct PixelRect {
  int x = 0, y = 0, w = 0, h = 0;
  bool operator==(const PixelRect&) const = default;
};
// The outline of a w x h window with rounded corners (corner ellipse 4 x 4), as
// horizontal bands for the UI layer to turn into a window mask.
std::vector<PixelRect> RoundedCornerRegion(int w, int h);

}  // namespace tavlin
