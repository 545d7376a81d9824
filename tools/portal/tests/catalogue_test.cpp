#include <gtest/gtest.h>

#include <stdexcept>

#include "catalogue.h"
#include "text.h"

namespace portal {
namespace {

// Display width as the program measures titles: 1 below U+0100, else 2.
int width_units(const std::string& utf8) {
  int width = 0;
  for (size_t i = 0; i < utf8.size();) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    const size_t len = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    width += (len == 1 || (len == 2 && b < 0xC4)) ? 1 : 2;
    i += len;
  }
  return width;
}

TEST(BuiltinCatalogue, OffersWhatTheEndToEndTestsNeed) {
  const auto& items = Catalogue::builtin().items();
  int series = 0;
  bool other_kind = false, dash = false, long_title = false, needs_escape = false, pending = false;
  for (const auto& item : items) {
    bool within = true;
    for (int count : item.sources) within = within && count >= 3 && count <= 12;
    if (within && item.sources.size() <= 2) ++series;
    other_kind = other_kind || item.kind != "qvod";
    dash = dash || item.title.find('-') != std::string::npos;
    long_title = long_title || width_units(item.title) > 30;
    // Something escape() rewrites besides the %u units of Chinese text.
    for (char c : item.title)
      if (static_cast<unsigned char>(c) < 0x80 && tavlin::EscapeText(std::string(1, c)) != std::string(1, c))
        needs_escape = true;
    pending = pending || item.has_flag("pending");
  }
  EXPECT_GE(series, 6);
  EXPECT_TRUE(other_kind);
  EXPECT_TRUE(dash);
  EXPECT_TRUE(long_title);
  EXPECT_TRUE(needs_escape);
  EXPECT_TRUE(pending);
  EXPECT_TRUE(std::any_of(items.begin(), items.end(), [](const Item& i) { return i.sources.size() == 2; }));
}

TEST(BuiltinCatalogue, ClipNamesAreUniquePerEpisode) {
  const auto names = Catalogue::builtin().clip_names();
  int total = 0;
  for (const auto& item : Catalogue::builtin().items()) total += item.most_episodes();
  EXPECT_EQ(static_cast<int>(names.size()), total);
}

TEST(Catalogue, LabelsAndClipNames) {
  const auto catalogue = Catalogue::parse(
      "7|剧|电视剧|大陆|2012|qvod|ju|12,3|10|#000,#fff|||x\n"
      "8|片|电影|大陆|2012|mp4|pian|1|60|#000,#fff|||x\n");
  const Item& series = *catalogue.find(7);
  EXPECT_EQ(series.label(3), "第03集");
  EXPECT_EQ(series.label(12), "第12集");
  EXPECT_EQ(series.clip_name(3), "ju-03.mp4");
  EXPECT_EQ(series.episodes(2), 3);
  EXPECT_EQ(series.episodes(3), 0);
  EXPECT_EQ(series.episodes(0), 0);
  EXPECT_EQ(catalogue.find(8)->label(1), "正片");
  EXPECT_EQ(catalogue.find(9), nullptr);
}

TEST(Catalogue, RejectsBrokenLinesNamingThem) {
  const char* broken[] = {
      "1|a|b|c|d|qvod|s|3|10|#0,#1|x|y\n",                                     // 12 fields
      "0|a|b|c|d|qvod|s|3|10|#0,#1|x||z\n",                                    // id 0
      "1|a|b|c|d|qvod|s|3,x|10|#0,#1|x||z\n",                                  // episode count
      "1|a|b|c|d|qvod|s|3|10|#0|x||z\n",                                       // one colour
      "1|a|b|c|d|qvod|s|3|10|#0,#1|x||z\n1|a|b|c|d|qvod|s|3|10|#0,#1|x||z\n",  // duplicate
  };
  for (const char* text : broken) {
    try {
      Catalogue::parse(std::string("# comment\n") + text);
      ADD_FAILURE() << "accepted " << text;
    } catch (const std::runtime_error& e) {
      EXPECT_NE(std::string(e.what()).find("line "), std::string::npos) << e.what();
    }
  }
}

}  // namespace
}  // namespace portal

// The portal writes its links with an escape of its own: the program must read back
// every title exactly, whatever either side gets wrong.
TEST(LinkEscape, PortalAndProgramAgreeOnEveryKindOfText) {
  const std::string texts[] = {"",
                               "abc-XYZ_09@*+./",
                               "a b&c=d?e#f",
                               "it's \"quoted\" \\ back",
                               "100%",
                               "长河落日",
                               "é ü ÿ",
                               "Ā",
                               "😀 tail",
                               "\x01\x7f",
                               std::string("nul\0in", 6),
                               "\xff broken \xe4\xb8"};
  for (const std::string& t : texts) {
    EXPECT_EQ(portal::js_escape(t), tavlin::EscapeText(t)) << t;
    if (t.find('\xff') == std::string::npos) EXPECT_EQ(tavlin::UnescapeText(portal::js_escape(t)), t) << t;
  }
  for (const auto& item : portal::Catalogue::builtin().items())
    EXPECT_EQ(tavlin::UnescapeText(portal::js_escape(item.title)), item.title);
}
