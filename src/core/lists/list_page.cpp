#include <string>

#include "core/base/files.h"
#include "core/base/text.h"
#include "core/lists/list_files.h"

namespace tavlin {
namespace {

// Beside the program's own rows: the view hides two pixels at its left edge, where
// the row's first mark must still show whole, and a row that had the focus before
// full screen must not come back with a focus ring.
constexpr std::string_view kHead =
    "<html><head><title></title><style type=\"text/css\">*{margin:0;padding:0;border:0px;}"
    "body{overflow:auto;backgrond:#ffffff;}a:link,a:visited,a:active,a:hover{color:#020202;"
    "text-decoration:none;display:block;outline:none}td{padding:3px 2px 3px 6px;font-size:12px; "
    "border-bottom:1PX solid #CCC;}td img{width:11px;height:11px;}</style></head><body oncontextmenu=\"return false\" "
    "ondragstart=\"return false\"><table id=\"v1\" width=\"100%\" cellpadding=\"0\" cellspacing=\"0\" "
    "border=\"0\"><vod></table>";

constexpr std::string_view kTail[] = {
    "<div style=\"dispaly:none\" id=\"vd\"></div>",
    "<script type=\"text/javascript\">",
    "var obj=document.getElementById(\"v1\");",
    "var ob1=document.getElementById(\"vd\");",
    "for(var i=0;i<obj.rows.length;i++){",
    "obj.rows[i].onmouseover=function(){ob1.style.background=this.style.backgroundColor;"
    "this.style.background=\"#D6EEAF\";}",
    "obj.rows[i].onmouseout=function(){this.style.background=ob1.style.background;}",
    "if(obj.rows[i].rowIndex%2==1){obj.rows[i].style.backgroundColor=\"#eeeeee\";}else{obj.rows[i]."
    "style.backgroundColor=\"#ffffff\";}}",
    "</script></body></html>",
};

constexpr std::string_view kEmptyRow = "<tr><td colspan=2 align=center>暂无观看记录</td></tr>";

bool IsKnownList(const std::string& name) { return name == kHistoryList || name == kLocalList; }

}  // namespace

std::string BuildListPage(std::string_view listBytes, bool localList) {
  std::string rows;
  int n = 0;
  for (const std::string& line : ReadListLines(listBytes)) {
    ++n;
    if (!IsRecord(line)) continue;
    const std::vector<std::string> f = Split(line, "|");
    std::string full = UnescapeText(localList ? f[0] : (f.size() > 1 ? f[1] : std::string()));
    // A page parser may stop at a NUL; no control character belongs in a title.
    std::erase_if(full, [](char c) { return static_cast<unsigned char>(c) < 0x20; });
    const std::string shown = TruncateToWidth(full, 18);
    if (shown.empty()) continue;
    const std::string num = std::to_string(n);
    // Titles come from portal links and names from the disk: both are escaped, and
    // the title attribute quoted, so neither can become markup in a page whose links
    // command the program.
    rows += "<tr><td align=left width=96%><a title=\"" + HtmlEscape(full) + "\" href=open://" + num + ">·" +
            HtmlEscape(shown) + "</a></td><td width=3%><a href=delk://" + num +
            "><img src=\"i.gif\" alt=\"删除\"></a></td></tr>";
  }
  if (rows.empty()) rows = kEmptyRow;

  std::string page(kHead);
  for (std::string_view line : kTail) {
    page += line;
    page += "\r\n";
  }
  return ReplaceAll(page, "<vod>", rows);
}

bool ListStore::RenderListPage(const std::string& listName) {
  if (!IsKnownList(listName)) return false;
  const auto bytes = ReadWholeFile(PathOf(listName));
  if (!bytes) return false;
  const bool history = listName == kHistoryList;
  const std::string pagePath = PathOf(history ? "c.htm" : "f.htm");
  if (!WriteFileAtomically(pagePath, BuildListPage(*bytes, !history) + "\r\n")) return false;
  if (views_) views_->Navigate2(history ? "Web3" : "Web4", pagePath);
  return true;
}

}  // namespace tavlin
