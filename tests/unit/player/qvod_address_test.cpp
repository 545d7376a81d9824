#include <gtest/gtest.h>

#include "core/player/qvod_address.h"

namespace tavlin::player {
namespace {

TEST(QvodAddress, WellFormedAddressesGiveSizeHashAndName) {
  struct Case {
    std::string text;
    std::int64_t size;
    std::string hash, name;
  } cases[] = {
      {"qvod://1024|ABCDEF0123|clip.mp4|", 1024, "ABCDEF0123", "clip.mp4"},
      {"QVOD://7|a1|第01集.rmvb|", 7, "a1", "第01集.rmvb"},
      {"qvod://123456789012|h|name with spaces.mp4|", 123456789012, "h", "name with spaces.mp4"},
  };
  for (const Case& c : cases) {
    auto parsed = ParseQvodAddress(c.text);
    ASSERT_TRUE(parsed) << c.text;
    EXPECT_EQ(parsed->size, c.size) << c.text;
    EXPECT_EQ(parsed->hash, c.hash) << c.text;
    EXPECT_EQ(parsed->name, c.name) << c.text;
  }
}

TEST(QvodAddress, MalformedOrDangerousAddressesAreRefused) {
  const char* cases[] = {
      "qvod://",                        // nothing
      "qvod://12|ab|clip.mp4",          // no closing bar
      "qvod://12|ab|clip.mp4|x",        // text after it
      "qvod://|ab|clip.mp4|",           // no size
      "qvod://0|ab|clip.mp4|",          // empty item
      "qvod://-5|ab|clip.mp4|",         // negative
      "qvod://1e3|ab|clip.mp4|",        // not decimal digits
      "qvod://9999999999999999|ab|c|",  // absurd size
      "qvod://12||clip.mp4|",           // no hash
      "qvod://12|a/b|clip.mp4|",        // hash leaving the seed path
      "qvod://12|ab?x=1|clip.mp4|",     // hash with a query
      "qvod://12|ab\xe9|clip.mp4|",     // a letter only in some locales
      "qvod://12|ab||",                 // no name
      "qvod://12|ab|../evil.mp4|",      // name leaving the download folder
      "qvod://12|ab|sub/clip.mp4|",
      "qvod://12|ab|..|",
      "qvod://12|ab|.|",
      "qvod://12|ab|.bashrc|",  // hidden: the user's settings live under such names
      "qvod://12|ab|.clip.mp4|",
      "qvod://12|ab|a\\b.mp4|",
      "qvod://12|ab|a\tb.mp4|",  // control character in the name
      "http://12|ab|clip.mp4|",
  };
  for (const char* text : cases) EXPECT_FALSE(ParseQvodAddress(text)) << text;
}

TEST(QvodAddress, NamesThatWouldShowAsSomethingElseAreMadeHonest) {
  const std::pair<std::string, std::string> cases[] = {
      {"holiday\u202e4pm.sh", "holiday_4pm.sh"},           // right-to-left override: "holidayhs.mp4"
      {"a\u200bb\u2066c\ufeff.mp4", "a_b_c_.mp4"},         // zero-width and isolate characters
      {"one\u2028two\u2029.mp4", "one_two_.mp4"},          // line and paragraph separators
      {"del\x7f\u0085\u00ad.mp4", "del___.mp4"},           // C0, C1 and soft hyphen
      {"film.mp4 . \u3000\u00a0..", "film.mp4"},           // trailing blanks and dots
      {" \u2003film.mp4", "film.mp4"},                     // leading blanks
      {"\U000e0041tag.mp4", "_tag.mp4"},                   // tag characters beyond the BMP
      {"第01集 \U0001f3ac.mp4", "第01集 \U0001f3ac.mp4"},  // ordinary text stays
  };
  for (const auto& [name, honest] : cases) {
    const auto parsed = ParseQvodAddress("qvod://12|ab|" + name + "|");
    ASSERT_TRUE(parsed) << name;
    EXPECT_EQ(parsed->name, honest) << name;
  }
  EXPECT_EQ(HonestFileName("bad\xff\xfe.mp4"), "bad\ufffd\ufffd.mp4");
  // Nothing left to name the file by.
  EXPECT_FALSE(ParseQvodAddress("qvod://12|ab| . \u3000|"));
}

TEST(QvodAddress, OnlyFilesHttpAndQvodAreAcceptedAsUrl) {
  const std::pair<std::string, SourceKind> cases[] = {
      {"/home/u/film.mp4", SourceKind::kLocalFile},
      {"film.mp4", SourceKind::kLocalFile},
      {"-", SourceKind::kLocalFile},  // made absolute before mpv sees it
      {"http://127.0.0.1/a.mp4", SourceKind::kHttpStream},
      {"HTTPS://example.org/a.mp4", SourceKind::kHttpStream},
      {"qvod://12|ab|clip.mp4|", SourceKind::kQvod},
      {"qvod://12|ab|../clip.mp4|", SourceKind::kRejected},
      {"", SourceKind::kRejected},
      {"appending:///etc/passwd", SourceKind::kRejected},
      {"file:///etc/passwd", SourceKind::kRejected},
      {"edl://%10%/etc/passwd", SourceKind::kRejected},
      {"av://v4l2:/dev/video0", SourceKind::kRejected},
      {"ytdl://x", SourceKind::kRejected},
      {"rtsp://h/x", SourceKind::kRejected},
      {"memory://abc", SourceKind::kRejected},
  };
  for (const auto& [url, kind] : cases) EXPECT_EQ(ClassifySource(url), kind) << url;
}

}  // namespace
}  // namespace tavlin::player
