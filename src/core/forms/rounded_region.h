#pragma once
// The outline of the frameless window with its rounded corners.
#include <vector>

#include "platform/geometry.h"

namespace tavlin {

// The outline of a w x h window with rounded corners (corner ellipse 4 x 4), as
// horizontal bands for the UI layer to turn into a window mask.
std::vector<PixelRect> RoundedCornerRegion(int w, int h);

}  // namespace tavlin
