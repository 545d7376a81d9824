// The episode request's answers and the search for the next episode while a portal
// item plays, driven by the poll and the manual clock as the program runs them.
#include <gtest/gtest.h>

#include "core/episodes/episode_request.h"
#include "support/program_fixture.h"

namespace tavlin::testing {
namespace {

using episodes::EpisodeAnswer;
using episodes::ReadEpisodeAnswer;
using Kind = EpisodeAnswer::Kind;

TEST(EpisodeAnswer, EveryShapeThePortalCanGive) {
  struct Case {
    std::optional<std::string> body;
    Kind kind;
    bool answered;
    const char* label;
    const char* address;
    const char* playerKind;
  };
  const Case cases[] = {
      {"1", Kind::NoSuchEpisode, true, "", "", ""},
      {"0\r\n", Kind::NoResult, true, "", "", ""},
      {"第5集$qvod://9|AB|a.rmvb|$qvod\n", Kind::Found, true, "第5集", "qvod://9|AB|a.rmvb|", "qvod"},
      {"5$http://x/a.mp4", Kind::Found, true, "5", "http://x/a.mp4", ""},  // a missing kind reads empty
      {"$$$", Kind::Found, true, "", "", ""},
      {"<html>500</html>", Kind::Failed, true, "", "", ""},
      {"", Kind::Failed, true, "", "", ""},
      {"00", Kind::Failed, true, "", "", ""},
      {std::nullopt, Kind::Failed, false, "", "", ""},
      // Cut off by the client: garbage even though it holds the separator.
      {"5$qvod://" + std::string(episodes::kMaxAnswerBytes, 'x'), Kind::Failed, true, "", "", ""},
  };
  for (const Case& c : cases) {
    const EpisodeAnswer a = ReadEpisodeAnswer(c.body);
    const std::string shown = c.body.value_or("<none>").substr(0, 40);
    EXPECT_EQ(a.kind, c.kind) << shown;
    EXPECT_EQ(a.answered, c.answered) << shown;
    EXPECT_EQ(a.label, c.label) << shown;
    EXPECT_EQ(a.address, c.address) << shown;
    EXPECT_EQ(a.playerKind, c.playerKind) << shown;
  }
}

// A portal item playing, downloaded past 60.1 %, with the automatic search on.
struct Series : PlayerFixture {
  Series() {
    SetIni("S_q", "s_h", "2");
    player.url = "qvod://now";
    player.state = kStatePlaying;
    player.duration = 3000;
    player.position = 100;
    player.progress = 700;
    State().episodes.CurrentEpisodeKey = "123-2-5-abc";
  }
  state::EpisodeState& E() { return State().episodes; }
};

constexpr const char* kAskSix = "http://127.0.0.1:9/soft/h.asp?id=123&v=2&v1=6";

TEST(NextEpisode, NotYetKnownFailedRetriedThenBufferedOnce) {
  Series t;
  t.http.Answer("0");
  t.Play(2);
  EXPECT_EQ(t.http.requests, (std::vector<std::string>{kAskSix, kAskSix})) << "asked again at every poll";
  EXPECT_EQ(t.E().NextEpisodePage.ToText(), "0");

  // A failure is reported once and waits for the retry, about 100 s later.
  t.http.Answer(std::nullopt);
  t.Play(1);
  EXPECT_EQ(t.E().NextEpisodePage.ToText(), "3");
  EXPECT_EQ(t.E().NextPrefetchStarted, 1);
  EXPECT_EQ(t.Balloons(), std::vector<std::string>{"读取下一集数据出错，稍后将重新读取！"});
  t.http.requests.clear();
  t.Play(98);
  // The update check's one request falls in this time; only episode requests count.
  std::erase_if(t.http.requests, [](const std::string& r) { return r.ends_with("lib/wen.txt"); });
  EXPECT_TRUE(t.http.requests.empty()) << "the polls wait for the retry";

  t.http.Answer("第6集$qvod://9|AB|six.rmvb|$mp4");
  t.Play(2);
  ASSERT_EQ(t.http.requests, std::vector<std::string>{kAskSix});
  EXPECT_EQ(t.E().NextEpisodeUrl.ToText(), "qvod://9|AB|six.rmvb|");
  // The kind of the answer is not used: the next episode plays in the player.
  EXPECT_EQ(t.E().NextEpisodePage.ToText(),
            "eeqvod://qvod&&&qvod%3A//9%7CAB%7Csix.rmvb%7C&&&abc&&&第6集&&&123&&&2&&&6");
  EXPECT_FALSE(t.f->T("Timer4").enabled());

  // Buffered once, announced once.
  t.Play(5);
  EXPECT_EQ(std::count(t.player.calls.begin(), t.player.calls.end(), "next:qvod://9|AB|six.rmvb|"), 1);
  EXPECT_EQ(t.Balloons().back(), "开始缓冲下一集！");
  EXPECT_EQ(t.http.requests.size(), 1u);
}

TEST(NextEpisode, EndOfSeriesOffOrLocalSendsNothingMore) {
  {
    Series t;
    t.http.Answer("1");
    t.Play(5);
    EXPECT_EQ(t.http.requests.size(), 1u);
    EXPECT_EQ(t.E().NextEpisodeUrl.ToText(), "1");
    EXPECT_EQ(t.E().NextEpisodePage.ToText(), "1");
  }
  {
    Series t;  // the setting off: nothing is asked
    t.SetIni("S_q", "s_h", "1");
    t.E().NextEpisodePage = state::NextEpisode::FromText("3");
    t.Play(3);
    EXPECT_TRUE(t.http.requests.empty());
    EXPECT_EQ(t.E().NextEpisodePage.ToText(), "0");
  }
  {
    Series t;  // a local file has no series
    t.E().CurrentEpisodeKey = "0";
    t.Play(3);
    EXPECT_TRUE(t.http.requests.empty());
  }
  {
    Series t;  // an index that is no number fails without a request
    t.E().CurrentEpisodeKey = "123-2-x-abc";
    t.Play(1);
    EXPECT_TRUE(t.http.requests.empty());
    EXPECT_EQ(t.E().NextEpisodePage.ToText(), "3");
  }
}

TEST(StepEpisode, PreviousAndNextAskTheNeighbourAndPlayIt) {
  Series t;
  t.E().CurrentEpisodeKey = "123-2-0-abc";
  t.Click({"bo_but", 5});
  EXPECT_TRUE(t.http.requests.empty()) << "nothing before the first";

  t.E().CurrentEpisodeKey = "123-2-1-abc";
  t.http.Answer("garbage");
  t.Click({"bo_but", 5});
  EXPECT_EQ(t.http.requests.back(), "http://127.0.0.1:9/soft/h.asp?id=123&v=2&v1=0");
  EXPECT_EQ(t.player.url, "qvod://now") << "a failed step changes nothing";
  EXPECT_TRUE(t.Balloons().empty());

  t.http.Answer("第2集$qvod://9|AB|two.rmvb|$qvod");
  t.Click({"bo_but", 7});
  EXPECT_EQ(t.http.requests.back(), "http://127.0.0.1:9/soft/h.asp?id=123&v=2&v1=2");
  EXPECT_EQ(t.player.url, "qvod://9|AB|two.rmvb|");
  EXPECT_EQ(t.E().CurrentEpisodeKey, "123-2-2-abc");
  EXPECT_EQ(t.f->bo_name.caption, "abc-第2集");
}

TEST(EndOfPlayback, AutomaticContinuationOffOrSeriesOver) {
  for (const char* page : {"eeqvod://qvod&&&x&&&t&&&2&&&1&&&1&&&2", "1"}) {
    Series t;
    t.SetIni("S_q", "s_bo", std::string(page) == "1" ? "2" : "0");
    t.player.duration = 30;
    t.player.position = 25;
    t.player.progress = 0;
    t.E().NextEpisodePage = state::NextEpisode::FromText(page);
    const size_t web5 = t.views["Web5"].navigations.size();
    t.Play(15);
    EXPECT_EQ(t.f->zhun.caption, "播放完毕") << page;
    EXPECT_EQ(t.player.url, "qvod://now") << page;
    EXPECT_EQ(t.views["Web5"].navigations.size(), web5) << page;
    // Off: the poll goes on, and the player shows the finished item.
    if (std::string(page) != "1") EXPECT_TRUE(t.f->T("Timer1").enabled());
  }
}

}  // namespace
}  // namespace tavlin::testing
