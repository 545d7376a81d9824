#pragma once

namespace tavlin {

// A rectangle of the window system, in pixels.
struct PixelRect {
  int x = 0, y = 0, w = 0, h = 0;
  bool operator==(const PixelRect&) const = default;
};

}  // namespace tavlin
