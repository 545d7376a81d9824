#include "core/forms/rounded_region.h"

#include <gtest/gtest.h>

namespace tavlin {
namespace {

TEST(RoundedCornerRegion, CutsOnlyTheCorners) {
  const auto bands = RoundedCornerRegion(10, 8);
  int area = 0;
  for (const PixelRect& r : bands) {
    EXPECT_GE(r.x, 0);
    EXPECT_LE(r.x + r.w, 11);
    area += r.w * r.h;
  }
  EXPECT_EQ(area, 11 * 9 - 4);  // one pixel off each corner
  EXPECT_EQ(bands.front(), (PixelRect{1, 0, 9, 1}));
  EXPECT_TRUE(RoundedCornerRegion(0, 5).empty());
}

}  // namespace
}  // namespace tavlin
