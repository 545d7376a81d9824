#include <gtest/gtest.h>

#include "text.h"

namespace portal {
namespace {

TEST(JsEscape, MatchesJavaScriptEscape) {
  const struct {
    const char* input;
    const char* expected;
  } cases[] = {
      {"", ""},
      {"AZaz09@*_+-./", "AZaz09@*_+-./"},
      {" !\"#$%&'(),:;<=>?[\\]^`{|}~", "%20%21%22%23%24%25%26%27%28%29%2C%3A%3B%3C%3D%3E%3F%5B%5C%5D%5E%60%7B%7C%7D%7E"},
      {"长河落日", "%u957F%u6CB3%u843D%u65E5"},
      {"é", "%E9"},           // below 256: two hex digits, not %u00E9
      {"\xC2\xA0", "%A0"},    // no-break space
      {"Ā", "%u0100"},        // first unit that needs %u
      {"😀", "%uD83D%uDE00"},  // outside the BMP: two UTF-16 units
      {"欢乐 Q&A 100% 'Fun'!", "%u6B22%u4E50%20Q%26A%20100%25%20%27Fun%27%21"},
      {"qvod://3|AB|c.mp4|", "qvod%3A//3%7CAB%7Cc.mp4%7C"},
      {"a\xFF" "b", "a%FFb"},  // a stray byte is escaped on its own
      {"\xE4\xB8", "%E4%B8"},  // cut-off sequence
  };
  for (const auto& c : cases) EXPECT_EQ(js_escape(c.input), c.expected) << c.input;
}

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

TEST(TextHelpers, SplitKeepsEmptyFields) {
  EXPECT_EQ(split("a$$b", "$"), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_EQ(split("", "===="), (std::vector<std::string>{""}));
  EXPECT_EQ(split("x====y====", "===="), (std::vector<std::string>{"x", "y", ""}));
}

TEST(TextHelpers, HtmlEscapeCoversAttributeQuotes) {
  EXPECT_EQ(html_escape("<a href=\"x\">'&'</a>"), "&lt;a href=&quot;x&quot;&gt;&#39;&amp;&#39;&lt;/a&gt;");
}

}  // namespace
}  // namespace portal
