#include <gtest/gtest.h>

#include "text.h"

namespace portal {
namespace {

TEST(TextHelpers, PercentDecodeKeepsPlusAndBrokenEscapes) {
  EXPECT_EQ(percent_decode("a%20b+c"), "a b+c");
  EXPECT_EQ(percent_decode("%2e%2E"), "..");
  EXPECT_EQ(percent_decode("100%"), "100%");
  EXPECT_EQ(percent_decode("%zz%4"), "%zz%4");
  EXPECT_EQ(percent_decode("%u957F"), "%u957F");
}

TEST(TextHelpers, ParseNumberAcceptsOnlyWholeDecimals) {
  EXPECT_EQ(parse_number("0"), 0);
  EXPECT_EQ(parse_number("123"), 123);
  for (const char* bad : {"", "-1", "+1", "1a", " 1", "0x10", "1.5"}) EXPECT_FALSE(parse_number(bad)) << bad;
}

}  // namespace
}  // namespace portal
