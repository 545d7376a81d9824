#include <gtest/gtest.h>

#include "core/lists/list_files.h"

namespace tavlin {
namespace {

std::string Rows(const std::string& page) {
  const size_t start = page.find("border=\"0\">") + 11;
  return page.substr(start, page.find("</table>") - start);
}

TEST(ListPage, FixedPiecesAroundTheRows) {
  const std::string page = BuildListPage("\r\n", false);
  EXPECT_EQ(page.find("<html><head><title></title><style type=\"text/css\">"), 0u);
  EXPECT_EQ(page.find("<vod>"), std::string::npos);
  EXPECT_EQ(Rows(page), "<tr><td colspan=2 align=center>暂无观看记录</td></tr>");
  const std::string tail =
      "</table><div style=\"dispaly:none\" id=\"vd\"></div>\r\n<script type=\"text/javascript\">\r\n";
  EXPECT_NE(page.find(tail), std::string::npos);
  EXPECT_TRUE(page.ends_with("</script></body></html>\r\n"));
  // The head piece is 482 characters, the last 13 of them "<vod></table>".
  EXPECT_EQ(page.find("<tr>"), 482u - 13u);
  // The rows' links keep clear of the view's hidden left edge and draw no focus ring.
  EXPECT_NE(page.find("td{padding:3px 2px 3px 6px;"), std::string::npos);
  EXPECT_NE(page.find("outline:none"), std::string::npos);
}

TEST(ListPage, RowsCarryPhysicalLineNumbers) {
  const std::string rows = Rows(BuildListPage("1|%u5929%u9F99|e|a|1|0|0\r\n\r\n3|b|e|a|1|0|0\r\n", false));
  EXPECT_EQ(rows,
            "<tr><td align=left width=96%><a title=\"天龙\" href=open://1>·天龙</a></td><td width=3%>"
            "<a href=delk://1><img src=\"i.gif\" alt=\"删除\"></a></td></tr>"
            "<tr><td align=left width=96%><a title=\"b\" href=open://3>·b</a></td><td width=3%>"
            "<a href=delk://3><img src=\"i.gif\" alt=\"删除\"></a></td></tr>");
}

TEST(ListPage, ShortTextIsCutButTitleIsWhole) {
  const std::string title = "天龙八部天龙八部天龙八部";
  const std::string rows = Rows(BuildListPage("1|" + title + "|e|a|1|0|0\r\n", false));
  EXPECT_NE(rows.find("title=\"" + title + "\""), std::string::npos);
  EXPECT_NE(rows.find(">·天龙八部天龙八部天</a>"), std::string::npos);
}

TEST(ListPage, NamesCannotInjectMarkup) {
  const std::string rows = Rows(BuildListPage("<b onmouseover=alert(1)>\" x=\"y %3Cscript%3E|/p|0\r\n", true));
  EXPECT_EQ(rows.find("<b"), std::string::npos);
  EXPECT_EQ(rows.find("<script"), std::string::npos);
  EXPECT_NE(rows.find("title=\"&lt;b onmouseover=alert(1)&gt;&quot; x=&quot;y &lt;script&gt;\""), std::string::npos);
}

// NUL and other control characters, raw in the file or escaped in a title, have no
// place in a page: a page parser may cut the page there.
TEST(ListPage, ControlCharactersNeverReachThePage) {
  const std::string page = BuildListPage(std::string("a%00b%01c|/p|0\r\nd\0e\x1b|/q|0\r\n", 27), true);
  for (char c : page) EXPECT_FALSE(static_cast<unsigned char>(c) < 0x20 && c != '\r' && c != '\n' && c != '\t');
  EXPECT_NE(page.find("open://1>·abc"), std::string::npos);
  EXPECT_NE(page.find("open://2>·de"), std::string::npos);
}

TEST(ListPage, RecordsWithoutShownTextGiveNoRow) {
  // The local list shows field 1; the history list field 2.
  EXPECT_NE(Rows(BuildListPage("|/p|0\r\n", true)).find("暂无观看记录"), std::string::npos);
  EXPECT_NE(Rows(BuildListPage("1|\r\n2\r\n", false)).find("暂无观看记录"), std::string::npos);
  EXPECT_NE(Rows(BuildListPage("|/p|0\r\nname|/q|0\r\n", true)).find("open://2>·name"), std::string::npos);
}

}  // namespace
}  // namespace tavlin
