#include "core/forms/rounded_region.h"

#include <algorithm>
#include <cmath>

namespace tavlin {

std::vector<PixelRect> RoundedCornerRegion(int w, int h) {
  // The outline spans (0,0)-(w+1,h+1) with a 4 x 4 corner ellipse, so each corner
  // loses the pixels outside a circle of radius 2.
  std::vector<PixelRect> bands;
  if (w <= 0 || h <= 0) return bands;
  const int width = w + 1, height = h + 1;
  const double r = 2.0;
  for (int y = 0; y < height; ++y) {
    int inset = 0;
    const int fromEdge = std::min(y, height - 1 - y);
    if (fromEdge < r) {
      const double dy = r - fromEdge - 0.5;
      inset = static_cast<int>(std::floor(r - std::sqrt(std::max(0.0, r * r - dy * dy)) + 0.5));
    }
    const int bw = width - 2 * inset;
    if (bw <= 0) continue;
    if (!bands.empty() && bands.back().x == inset && bands.back().w == bw && bands.back().y + bands.back().h == y) {
      ++bands.back().h;
    } else {
      bands.push_back({inset, y, bw, 1});
    }
  }
  return bands;
}

}  // namespace tavlin
