#include "core/base/text.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace tavlin {
namespace {

struct EscapeCase {
  const char* plain;
  const char* escaped;
};

class EscapeTable : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(EscapeTable, EscapesAndRoundTrips) {
  const EscapeCase& c = GetParam();
  EXPECT_EQ(EscapeText(c.plain), c.escaped);
  EXPECT_EQ(UnescapeText(c.escaped), c.plain);
}

INSTANTIATE_TEST_SUITE_P(
    Text, EscapeTable,
    ::testing::Values(EscapeCase{"", ""}, EscapeCase{"abcXYZ019@*_+-./", "abcXYZ019@*_+-./"},
                      EscapeCase{"a b", "a%20b"}, EscapeCase{"it's", "it%27s"}, EscapeCase{"C:\\a", "C%3A%5Ca"},
                      EscapeCase{"100%", "100%25"}, EscapeCase{"é", "%E9"},
                      EscapeCase{"天龙八部", "%u5929%u9F99%u516B%u90E8"}, EscapeCase{"a|b&c=d", "a%7Cb%26c%3Dd"},
                      EscapeCase{" !\"#$%&'(),:;<=>?[\\]^`{|}~",
                                 "%20%21%22%23%24%25%26%27%28%29%2C%3A%3B%3C%3D%3E%3F%5B%5C%5D%5E%60%7B%7C%7D%7E"},
                      EscapeCase{"\xC2\xA0\xC4\x80", "%A0%u0100"},  // the last unit below 256, the first above
                      EscapeCase{"qvod://3|AB|c.mp4|", "qvod%3A//3%7CAB%7Cc.mp4%7C"},
                      // Outside the basic plane: two surrogate units, as in JavaScript.
                      EscapeCase{"😀", "%uD83D%uDE00"}));

TEST(UnescapeText, LeavesBrokenSequencesAlone) {
  EXPECT_EQ(UnescapeText("%"), "%");
  EXPECT_EQ(UnescapeText("%4"), "%4");
  EXPECT_EQ(UnescapeText("%zz%u12"), "%zz%u12");
  EXPECT_EQ(UnescapeText("%u00e9%41"), "éA");         // lower-case hex digits count too
  EXPECT_EQ(UnescapeText("%uD83D"), "\xEF\xBF\xBD");  // a lone surrogate
  EXPECT_EQ(UnescapeText("50%25%20off"), "50% off");
}

TEST(HtmlEscape, CoversMarkupAndBothQuotes) {
  EXPECT_EQ(HtmlEscape("<a href=\"x\">'&'</a>"), "&lt;a href=&quot;x&quot;&gt;&#39;&amp;&#39;&lt;/a&gt;");
}

TEST(TruncateToWidth, CutsByDisplayWidth) {
  struct Case {
    std::string text;
    int width;
    std::string expected;
  } cases[] = {
      {"天龙八部天龙八部天", 18, "天龙八部天龙八部天"},  // 9 characters fit by count alone
      {"天龙八部天龙八部天龙", 18, "天龙八部天龙八部天"},
      {std::string(21, 'a'), 18, std::string(18, 'a')},
      {"ab天龙八部天龙八部天龙", 18, "ab天龙八部天龙八部"},
      {"a天", 2, "a天"},  // width/2 = 1 < 2 characters, but "a天" is 3 wide: see next
      {"ab天", 3, "ab"},
      {"", 0, ""},
  };
  for (const Case& c : cases) {
    if (c.text == "a天") {
      EXPECT_EQ(TruncateToWidth(c.text, c.width), "a") << c.text;
      continue;
    }
    EXPECT_EQ(TruncateToWidth(c.text, c.width), c.expected) << c.text << " / " << c.width;
  }
}

TEST(FormatDuration, WritesMinutesOrHours) {
  const std::pair<double, const char*> cases[] = {
      {0, "00:00"},      {59, "00:59"},       {75, "01:15"},   {600, "10:00"}, {3599, "59:59"},
      {3600, "1:00:00"}, {36061, "10:01:01"}, {75.9, "01:15"}, {-5, "00:00"},
  };
  for (const auto& [seconds, text] : cases) EXPECT_EQ(FormatDuration(seconds), text) << seconds;
}

TEST(Paths, FileNameAndExtension) {
  EXPECT_EQ(FileNameOf("/media/a b/c.rmvb"), "c.rmvb");
  EXPECT_EQ(FileNameOf("/media/dir/"), "");
  EXPECT_EQ(FileNameOf("bare.avi"), "");
  EXPECT_EQ(StripExtension("movie.part1.mkv"), "movie.part1");
  EXPECT_EQ(StripExtension("noext"), "");
  EXPECT_EQ(StripExtension(".hidden"), "");
}

TEST(ExtractBetween, BothModes) {
  const std::string xml = R"(<a x="1" Defaultsavepath="/home/u/Media/" y="2"/>)";
  EXPECT_EQ(ExtractBetween(xml, "Defaultsavepath=\"", "\"", 2), "/home/u/Media/");
  // Mode 1 looks for the end mark from the start mark's own first character on.
  EXPECT_EQ(ExtractBetween(xml, "Defaultsavepath=\"", "\"", 1), "Defaultsavepath=\"");
  EXPECT_EQ(ExtractBetween("x<b>y</b>z", "<b>", "</b>", 1), "<b>y</b>");
  EXPECT_EQ(ExtractBetween("[a]x[/a]", "[a]", "[/a]", 2), "x");
  EXPECT_EQ(ExtractBetween("[a][/a]", "[a]", "[/a]", 2), "");
  EXPECT_EQ(ExtractBetween("no marks", "[a]", "[/a]", 1), "");
  EXPECT_EQ(ExtractBetween("[a] open only", "[a]", "[/a]", 1), "");
  EXPECT_EQ(ExtractBetween("[a] open only", "[a]", "[/a]", 2), "");
  // The end mark is searched from the start mark on, not from the beginning.
  EXPECT_EQ(ExtractBetween("]x[a]y]", "[a]", "]", 2), "y");
}

TEST(ListFiles, MatchesOrdinaryVisibleFiles) {
  const auto dir = std::filesystem::temp_directory_path() / ("tavlin-list-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir / "sub.exe");
  for (const char* name : {"a.exe", "B.EXE", ".hidden.exe", "c.txt", "noext"}) std::ofstream(dir / name) << "x";
  std::vector<std::string> names{"old"};
  ASSERT_TRUE(ListFiles(dir.string(), names, "*.exe"));
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"B.EXE", "a.exe"}));

  ASSERT_TRUE(ListFiles(dir.string() + "/", names, "*.*"));
  EXPECT_EQ(names.size(), 4u);  // "*.*" takes files without a dot too

  names = {"kept"};
  EXPECT_FALSE(ListFiles(dir.string(), names, "*.mkv"));
  EXPECT_EQ(names, std::vector<std::string>{"kept"});
  EXPECT_FALSE(ListFiles((dir / "missing").string(), names, "*"));
  std::filesystem::remove_all(dir);
}

TEST(ToNumber, ConvertsLikeTheSettingsReader) {
  const std::pair<const char*, int> cases[] = {
      {"2", 2},   {" 13560 ", 13560}, {"", 0},   {"abc", 0}, {"12abc", 0}, {"-3", -3}, {"2.5", 2},
      {"3.5", 4}, {"99999999999", 0}, {"+7", 7}, {".", 0},
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(ToNumber(text), value) << text;
}

}  // namespace
}  // namespace tavlin

namespace tavlin {
namespace {

TEST(WebAddress, OnlyHttpOrHttpsWithAHostGoesToTheDesktop) {
  for (const char* yes : {"http://x", "HTTPS://127.0.0.1:8/a?b", "http://h#f"}) EXPECT_TRUE(IsWebAddress(yes)) << yes;
  for (const char* no : {"http://", "https:///etc/passwd", "http://?q", "file:///etc/passwd", "javascript:1",
                         " http://x", "eeqvod://http://x"})
    EXPECT_FALSE(IsWebAddress(no)) << no;
}

}  // namespace
}  // namespace tavlin
