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
      "qvod://",                       // nothing
      "qvod://12|ab|clip.mp4",         // no closing bar
      "qvod://12|ab|clip.mp4|x",       // text after it
      "qvod://|ab|clip.mp4|",          // no size
      "qvod://0|ab|clip.mp4|",         // empty item
      "qvod://-5|ab|clip.mp4|",        // negative
      "qvod://1e3|ab|clip.mp4|",       // not decimal digits
      "qvod://9999999999999999|ab|c|", // absurd size
      "qvod://12||clip.mp4|",          // no hash
      "qvod://12|a/b|clip.mp4|",       // hash leaving the seed path
      "qvod://12|ab?x=1|clip.mp4|",    // hash with a query
      "qvod://12|ab\xe9|clip.mp4|",    // a letter only in some locales
      "qvod://12|ab||",                // no name
      "qvod://12|ab|../evil.mp4|",     // name leaving the download folder
      "qvod://12|ab|sub/clip.mp4|",
      "qvod://12|ab|..|",
      "qvod://12|ab|.|",
      "qvod://12|ab|.bashrc|",         // hidden: the user's settings live under such names
      "qvod://12|ab|.clip.mp4|",
      "qvod://12|ab|a\\b.mp4|",
      "qvod://12|ab|a\tb.mp4|",       // control character in the name
      "http://12|ab|clip.mp4|",
  };
  for (const char* text : cases) EXPECT_FALSE(ParseQvodAddress(text)) << text;
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
