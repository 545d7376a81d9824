#include "pages.h"

#include "text.h"

namespace portal {
namespace {

std::string two_digits(int n) {
  std::string text = std::to_string(n);
  return text.size() < 2 ? "0" + text : text;
}

std::string head(const std::string& title, const std::string& body_class) {
  return "<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"utf-8\">\n"
         "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
         "<title>" +
         tavlin::HtmlEscape(title) +
         "</title>\n"
         "<link rel=\"stylesheet\" href=\"/soft/css/portal.css\">\n</head>\n<body class=\"" +
         body_class + "\">\n";
}

std::string masthead(const std::string& current) {
  auto tab = [&](const std::string& href, const std::string& key, const std::string& caption) {
    return "<a href=\"" + href + "\"" + (key == current ? " class=\"on\"" : "") + ">" + caption + "</a>";
  };
  return "<header class=\"top\">\n<a class=\"logo\" href=\"/soft/\"><img src=\"/soft/img/logo.svg\" alt=\"Tavlin影视\" "
         "width=\"150\" height=\"40\"></a>\n"
         "<form class=\"search\" action=\"/soft/\" method=\"get\"><input name=\"wd\" "
         "placeholder=\"输入片名、演员搜索\">"
         "<button type=\"submit\">搜 索</button></form>\n"
         "<div class=\"hotwords\">热搜：<a href=\"/soft/tv\">青石巷</a><a href=\"/soft/yy\">夜色温柔</a>"
         "<a href=\"/soft/tv\">长河落日</a></div>\n</header>\n<nav class=\"menu\">" +
         tab("/soft/", "home", "首页") + tab("/soft/tv", "tv", "电视剧") + tab("/soft/yy", "yy", "电影") +
         tab("/soft/#dm", "dm", "动漫") + tab("/soft/#zy", "zy", "综艺") + tab("/soft/#rank", "rank", "排行榜") +
         "</nav>\n";
}

std::string footer() {
  return "<footer class=\"foot\">本站所有影片均为演示内容 · 仅供测试使用<br>Copyright © 2013 Tavlin影视 "
         "All Rights Reserved</footer>\n</body>\n</html>\n";
}

// A poster drawn with CSS: the item's two colours, its title written top to bottom.
std::string poster(const Item& item, const std::string& size_class) {
  std::string badge =
      item.is_film() ? "HD" : (item.most_episodes() > 1 ? std::to_string(item.most_episodes()) + "集全" : "");
  return "<div class=\"poster " + size_class + "\" style=\"background:linear-gradient(160deg," + item.colour_top +
         " 0%," + item.colour_bottom +
         " 100%)\"><span class=\"sun\"></span><span class=\"hills\"></span>"
         "<span class=\"ptitle\">" +
         tavlin::HtmlEscape(item.title) + "</span>" +
         (badge.empty() ? "" : "<span class=\"badge\">" + badge + "</span>") + "</div>";
}

std::string episode_links(const Item& item, int source, int current, bool mark_autostart) {
  std::string html = "<ul class=\"eps\">";
  for (int i = 1; i <= item.episodes(source); ++i) {
    const bool on = i == current;
    html += "<li><a href=\"" + tavlin::HtmlEscape(play_link(item, source, i)) + "\"" +
            (on && mark_autostart ? " id=\"autostart\"" : "") + (on ? " class=\"on\"" : "") + " title=\"" +
            tavlin::HtmlEscape(item.title + " " + item.label(i)) + "\">" +
            (item.most_episodes() == 1 ? "播放正片" : two_digits(i)) + "</a></li>";
  }
  return html + "</ul>";
}

std::string card(const Item& item) {
  std::string html = "<div class=\"card\" id=\"item" + std::to_string(item.id) + "\">" + poster(item, "small") +
                     "<div class=\"info\"><h3 title=\"" + tavlin::HtmlEscape(item.title) + "\">" +
                     tavlin::HtmlEscape(item.title) + "</h3><p class=\"meta\">" + tavlin::HtmlEscape(item.area) +
                     " · " + tavlin::HtmlEscape(item.year) + " · " + tavlin::HtmlEscape(item.category) +
                     "</p><p class=\"cast\">主演：" + tavlin::HtmlEscape(item.cast) + "</p>";
  for (int s = 1; s <= static_cast<int>(item.sources.size()); ++s) {
    html += "<div class=\"line\"><span class=\"src\">线路" + std::to_string(s) + "</span>" +
            episode_links(item, s, 0, false) + "</div>";
  }
  return html + "</div></div>\n";
}

std::string episode_page_address(const Item& item, int source, int index, const std::string& autostart) {
  return "/soft/pp.htm?" + std::to_string(item.id) + "-" + std::to_string(source) + "-" + std::to_string(index) + "-" +
         js_escape(item.title) + "-" + autostart;
}

}  // namespace

std::string play_link(const Item& item, int source, int index) {
  return "eebovod://" + std::to_string(item.id) + "-" + std::to_string(source) + "-" + std::to_string(index) + "-" +
         js_escape(item.title);
}

std::string known_address_link(const PageContext& ctx, const Item& item, int source, int index) {
  const Clip* clip = ctx.media.by_name(item.clip_name(index));
  if (!clip || item.kind != "qvod") return "";
  const std::string address = "qvod://" + std::to_string(clip->size) + "|" + clip->sha1 + "|" + clip->name + "|";
  return "eeqvod://qvod&&&" + js_escape(address) + "&&&" + js_escape(item.title) + "&&&" +
         js_escape(item.label(index)) + "&&&" + std::to_string(item.id) + "&&&" + std::to_string(source) + "&&&" +
         std::to_string(index);
}

std::string home_page(const PageContext& ctx) {
  std::string html = head("Tavlin影视 - 高清影视在线点播", "home") + masthead("home");
  const Item* featured = nullptr;
  for (const auto& item : ctx.catalogue.items())
    if (!featured && item.kind == "qvod" && item.has_flag("hot")) featured = &item;
  if (featured) {
    const std::string known = known_address_link(ctx, *featured, 1, 1);
    html += "<section class=\"hero\">" + poster(*featured, "large") +
            "<div class=\"hero-text\"><span class=\"tag\">"
            "今日热播</span><h1>" +
            tavlin::HtmlEscape(featured->title) + "</h1><p class=\"meta\">" + tavlin::HtmlEscape(featured->area) +
            " · " + tavlin::HtmlEscape(featured->year) + " · " + std::to_string(featured->most_episodes()) + "集全 · " +
            std::to_string(featured->sources.size()) + "条线路</p><p>" + tavlin::HtmlEscape(featured->synopsis) +
            "</p><p class=\"actions\">";
    if (!known.empty())
      html += "<a class=\"btn play\" id=\"hero-play\" href=\"" + tavlin::HtmlEscape(known) + "\">▶ 立即播放 第01集</a>";
    for (int s = 1; s <= static_cast<int>(featured->sources.size()); ++s)
      html += "<a class=\"btn\" href=\"" + tavlin::HtmlEscape(play_link(*featured, s, 1)) + "\">线路" +
              std::to_string(s) + " 从头播放</a>";
    html += "</p></div></section>\n";
  }
  const std::pair<const char*, const char*> groups[] = {
      {"电视剧", "tv"}, {"电影", "yy"}, {"动漫", "dm"}, {"综艺", "zy"}};
  html += "<div class=\"columns\"><main>\n";
  for (const auto& [category, anchor] : groups) {
    html += "<section class=\"block\" id=\"" + std::string(anchor) + "\"><h2>" + category +
            "<a class=\"more\" href=\"/soft/" +
            (std::string(anchor) == "tv" || std::string(anchor) == "yy" ? std::string(anchor) : std::string("")) +
            "\">更多»</a></h2><div class=\"grid\">\n";
    for (const auto& item : ctx.catalogue.items())
      if (item.category == category) html += card(item);
    html += "</div></section>\n";
  }
  html += "</main><aside id=\"rank\"><h2>热播排行</h2><ol class=\"rank\">";
  int place = 0;
  for (const auto& item : ctx.catalogue.items()) {
    html += "<li><em>" + std::to_string(++place) + "</em><a href=\"" + tavlin::HtmlEscape(play_link(item, 1, 1)) +
            "\">" + tavlin::HtmlEscape(item.title) + "</a></li>";
  }
  html +=
      "</ol><div class=\"notice\"><h2>网站公告</h2><p>客户端 3.0 已发布，支持边下边播与自动续播下一集。</p></div>"
      "</aside></div>\n";
  return html + footer();
}

std::string section_page(const PageContext& ctx, const std::string& section) {
  const bool tv = section == "tv";
  std::string html = head(tv ? "电视剧频道 - Tavlin影视" : "电影频道 - Tavlin影视", "section") + masthead(section);
  html += "<section class=\"block\"><h2>" + std::string(tv ? "电视剧 · 全部" : "电影 · 动漫 · 全部") +
          "</h2><div class=\"filter\">地区：<b>全部</b> 大陆 香港 台湾 日本 欧美　年份：<b>全部</b> 2013 2012 2011"
          "</div><div class=\"grid wide\">\n";
  for (const auto& item : ctx.catalogue.items()) {
    const bool wanted = tv ? (item.category == "电视剧" || item.category == "综艺")
                           : (item.category == "电影" || item.category == "动漫");
    if (!wanted) continue;
    const std::string page = episode_page_address(item, 1, 1, "0");
    html += "<div class=\"card\"><a href=\"" + tavlin::HtmlEscape(page) + "\">" + poster(item, "small") +
            "</a><div class=\"info\"><h3><a href=\"" + tavlin::HtmlEscape(page) + "\">" +
            tavlin::HtmlEscape(item.title) + "</a></h3><p class=\"meta\">" + tavlin::HtmlEscape(item.area) + " · " +
            tavlin::HtmlEscape(item.year) + "</p><p class=\"cast\">主演：" + tavlin::HtmlEscape(item.cast) +
            "</p><p class=\"syn\">" + tavlin::HtmlEscape(item.synopsis) + "</p><p><a class=\"btn\" href=\"" +
            tavlin::HtmlEscape(page) + "\">查看剧集</a></p></div></div>\n";
  }
  html += "</div></section>\n";
  return html + footer();
}

std::string episode_page(const PageContext& ctx, const std::string& query) {
  const auto fields = tavlin::Split(query, "-");
  const auto id = parse_number(fields[0]);
  const Item* item = id ? ctx.catalogue.find(*id) : nullptr;
  if (!item) {
    return head("影片不存在 - Tavlin影视", "episodes") +
           "<div class=\"empty\">该影片不存在或已下架，请返回首页重新选择。</div>\n</body>\n</html>\n";
  }
  int source = fields.size() > 1 ? static_cast<int>(parse_number(fields[1]).value_or(1)) : 1;
  if (item->episodes(source) == 0) source = 1;
  int current = fields.size() > 2 ? static_cast<int>(parse_number(fields[2]).value_or(0)) : 0;
  const std::string autostart = fields.size() > 4 ? fields.back() : "0";
  // Autostart holds source and index written together: try the page's own
  // source first, then the others.
  bool start = false;
  if (autostart != "0" && parse_number(autostart)) {
    std::vector<int> order{source};
    for (int s = 1; s <= static_cast<int>(item->sources.size()); ++s)
      if (s != source) order.push_back(s);
    for (int s : order) {
      const std::string prefix = std::to_string(s);
      if (autostart.size() <= prefix.size() || autostart.compare(0, prefix.size(), prefix) != 0) continue;
      const auto index = parse_number(std::string_view(autostart).substr(prefix.size()));
      if (index && *index >= 1 && *index <= item->episodes(s)) {
        source = s;
        current = static_cast<int>(*index);
        start = true;
        break;
      }
    }
  }
  std::string html = head(item->title + " - 剧集列表", "episodes");
  html += "<div class=\"side\">" + poster(*item, "tiny") + "<div class=\"side-info\"><h1 title=\"" +
          tavlin::HtmlEscape(item->title) + "\">" + tavlin::HtmlEscape(item->title) + "</h1><p class=\"meta\">" +
          tavlin::HtmlEscape(item->area) + " · " + tavlin::HtmlEscape(item->year) + " · " +
          tavlin::HtmlEscape(item->category) + "</p>" +
          (current >= 1 && current <= item->episodes(source)
               ? "<p class=\"now\">正在播放：" + tavlin::HtmlEscape(item->label(current)) + "</p>"
               : std::string()) +
          "</div></div>\n<div class=\"tabs\">";
  for (int s = 1; s <= static_cast<int>(item->sources.size()); ++s) {
    html += "<a href=\"" + tavlin::HtmlEscape(episode_page_address(*item, s, 1, "0")) + "\"" +
            (s == source ? " class=\"on\"" : "") + ">线路" + std::to_string(s) + "</a>";
  }
  html += "</div>\n" + episode_links(*item, source, current, start) + "\n<p class=\"syn\">" +
          tavlin::HtmlEscape(item->synopsis) + "</p>\n";
  if (start) {
    html +=
        "<script>window.addEventListener('load', function () {\n"
        "  var link = document.getElementById('autostart');\n"
        "  if (link) link.click();\n"
        "});</script>\n";
  }
  return html + "</body>\n</html>\n";
}

std::string player_page(const PageContext& ctx, const std::string& query) {
  const auto fields = tavlin::Split(query, "-");
  const auto id = parse_number(fields[0]);
  const Item* item = id ? ctx.catalogue.find(*id) : nullptr;
  const int source = fields.size() > 1 ? static_cast<int>(parse_number(fields[1]).value_or(1)) : 1;
  const int index = fields.size() > 2 ? static_cast<int>(parse_number(fields[2]).value_or(1)) : 1;
  if (!item || index < 1 || index > item->episodes(source) || !ctx.media.by_name(item->clip_name(index))) {
    return head("无法播放 - Tavlin影视", "player") +
           "<div class=\"empty\">片源暂时无法播放，请稍后再试或选择其他线路。</div>\n</body>\n</html>\n";
  }
  return head(item->title + " " + item->label(index) + " - 在线播放", "player") + "<video id=\"player\" src=\"/media/" +
         tavlin::HtmlEscape(item->clip_name(index)) +
         "\" autoplay controls preload=\"auto\"></video>\n<div class=\"caption\">" + tavlin::HtmlEscape(item->title) +
         " · " + tavlin::HtmlEscape(item->label(index)) +
         " <a id=\"unmute\" href=\"#\" onclick=\"document.getElementById('player').muted = false; this.style.display = "
         "'none'; return false;\">点击开启声音</a></div>\n"
         // Browsers refuse autoplay with sound before any click: fall back to a
         // muted start rather than a still picture.
         "<script>(function () {\n"
         "  var video = document.getElementById('player');\n"
         "  var started = video.play();\n"
         "  if (started && started.catch) started.catch(function () {\n"
         "    video.muted = true;\n"
         "    video.play();\n"
         "    document.getElementById('unmute').style.display = 'inline';\n"
         "  });\n"
         "})();</script>\n</body>\n</html>\n";
}

std::string hits_page(const std::string& id, int count) {
  return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>tj</title></head><body>id=" +
         tavlin::HtmlEscape(id) + " count=" + std::to_string(count) + "</body></html>\n";
}

std::string error_page(int status) {
  const std::string code = std::to_string(status);
  const std::string what = status == 500 ? "服务器内部错误" : status == 403 ? "禁止访问" : "您访问的页面不存在";
  return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" + code + " " + what +
         "</title></head><body><h1>" + code + "</h1><p>" + what + "</p></body></html>\n";
}

std::string asp_error_page() {
  return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>数据库连接错误</title></head><body>"
         "<font face=\"Arial\" size=2><p>Microsoft OLE DB Provider for ODBC Drivers 错误 '80004005'</p>"
         "<p>[Microsoft][ODBC Microsoft Access Driver] 常见错误 不能打开注册表关键字。</p>"
         "<p>/soft/h.asp，行 12</p></font></body></html>\n";
}

}  // namespace portal
