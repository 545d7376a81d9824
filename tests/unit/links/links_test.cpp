// A click on a play link of the portal, from the link's raw text to the item
// playing: the episode request, the answers, the grammar's corners and who may give
// a command.
#include <gtest/gtest.h>

#include "core/base/files.h"
#include "support/program_fixture.h"

namespace tavlin::testing {
namespace {

const std::string kBase = kPortal;
const std::string kPage = kBase + "index.htm";  // a portal page holding the links

struct Portal : PlayerFixture {
  bool Click(const std::string& href, const std::string& view = "Web1", const std::string& origin = kPage) {
    return Follow(view, href, origin);
  }
  state::EpisodeState& E() { return State().episodes; }
  std::string History() { return *ReadWholeFile(dir.File("date.dat")); }
};

TEST(PlayLinks, ResolvedEpisodePlaysWithItsPageAndRecord) {
  Portal t;
  t.http.Answer("5$qvod://9|AB|a b.rmvb|$qvod\r\n");
  EXPECT_TRUE(t.Click("eebovod://123-2-5-%u5267%u96C6/"));
  EXPECT_EQ(t.http.requests, std::vector<std::string>{kBase + "h.asp?id=123&v=2&v1=5"});
  EXPECT_EQ(t.player.url, "qvod://9|AB|a b.rmvb|");
  EXPECT_EQ(t.player.state, kStatePlaying);
  EXPECT_TRUE(t.f->T("Timer1").enabled());
  EXPECT_EQ(t.f->bo_name.caption, "剧集-5");
  EXPECT_EQ(t.views["Web5"].CurrentAddress(), kBase + "pp.htm?123-2-5-%u5267%u96C6-0");
  for (const auto& a : t.views["Web1"].navigations) EXPECT_NE(a.rfind("ee", 0), 0u) << "no command text reaches a view";
  // The record keeps the title and address as the link carried them.
  EXPECT_EQ(t.History().rfind("123|%u5267%u96C6|5|qvod%3A//9%7CAB%7Ca%20b.rmvb%7C|2|5|0\r\n", 0), 0u);
  EXPECT_EQ(t.E().CurrentEpisodeKey, "123-2-5-%u5267%u96C6");
  EXPECT_EQ(t.E().NextEpisodePage.ToText(), "0");
  EXPECT_EQ(t.E().NextEpisodeUrl.ToText(), "0");
  EXPECT_EQ(t.State().playback.CurrentItemKey, "123");
  EXPECT_EQ(t.State().playback.PlaySource, 1);
  EXPECT_EQ(t.f->CurrentView, 9);

  // The next play link stops this one first and saves where it stood.
  t.Play(40);
  t.Click("eeqvod://qvod&&&http%3A//127.0.0.1/b.mp4&&&abc&&&6&&&123&&&2&&&6");
  EXPECT_EQ(t.History().substr(0, 4), "123|");
  EXPECT_NE(t.History().find("|2|6|0"), std::string::npos) << t.History();
  EXPECT_EQ(t.player.url, "http://127.0.0.1/b.mp4");
}

TEST(PlayLinks, UnresolvedEpisodeReportsAndLeavesTheItemPlaying) {
  struct Case {
    std::optional<std::string> answer;
    const char* nextPage;
  };
  // "1", "0" and no answer mark the series as over; an error page does not.
  for (const Case& c : {Case{"1", "1"}, Case{"0", "1"}, Case{std::nullopt, "1"}, Case{"<h1>500</h1>", "x"}}) {
    Portal t;
    t.player.url = "/m/playing.mp4";
    t.E().NextEpisodePage = state::NextEpisode::FromText("x");
    t.http.Answer(c.answer);
    t.Click("eebovod://123-2-5-abc");
    EXPECT_EQ(t.Balloons(), std::vector<std::string>{"读取数据出错，请返回重试！"});
    EXPECT_EQ(t.f->zhun.caption, "读取数据出错，请返回重试");
    EXPECT_EQ(t.E().NextEpisodePage.ToText(), c.nextPage) << c.answer.value_or("<none>");
    EXPECT_EQ(t.player.url, "/m/playing.mp4");
    EXPECT_EQ(t.f->CurrentView, 9) << "the player stays on screen";
  }
}

TEST(PlayLinks, GrammarCorners) {
  {
    Portal t;  // "-" ends the title; missing fields read empty, a missing id as 0
    t.http.Answer("1$qvod://1|A|x.rmvb|$qvod");
    t.Click("eebovod://7-1-1-the-title");
    EXPECT_EQ(t.E().CurrentEpisodeKey, "7-1-1-the");
    t.Click("eebovod://");
    EXPECT_EQ(t.http.requests.back(), kBase + "h.asp?id=0&v=&v1=");
    // A field cannot add to the query.
    t.Click("eebovod://7-1&x=1-1-t");
    EXPECT_EQ(t.http.requests.back(), kBase + "h.asp?id=7&v=1%26x%3D1&v1=1");
  }
  {
    Portal t;  // both marks: resolved first
    t.Click("eeqvod://qvod&&&a&&&t&&&1&&&1&&&1&&&1eebovod://9-1-1-t");
    EXPECT_EQ(t.http.requests.size(), 1u);
  }
  {
    Portal t;  // any kind but exactly "qvod" plays in the page player
    t.Click("eeqvod://QVOD&&&http%3A//x/a.mp4&&&t&&&1&&&105&&&1&&&1/");
    EXPECT_EQ(t.views["Web2"].CurrentAddress(), kBase + "play.htm?105-1-1-t");
    EXPECT_EQ(t.State().playback.PlaysInPage, 1);
    EXPECT_EQ(t.State().playback.CurrentItemKey, "0");
    EXPECT_TRUE(t.f->Pic2.visible);
    EXPECT_TRUE(t.player.url.empty());
  }
  {
    Portal t;  // no title: it plays, but gets neither its page nor a record
    t.Click("eeqvod://qvod&&&%2Fm%2Fa.mp4&&&&&&1&&&9&&&1&&&1");
    EXPECT_EQ(t.player.url, "/m/a.mp4");
    EXPECT_TRUE(t.views["Web5"].navigations.empty() ||
                t.views["Web5"].CurrentAddress().find("pp.htm") == std::string::npos);
    EXPECT_EQ(t.History(), "\r\n");
    t.Click("eeqvod://qvod&&&%2Fm%2Fb.mp4&&&t&&&1&&&9&&&x&&&1");
    EXPECT_EQ(t.History(), "\r\n") << "a source that is no number keeps it out of the list";
  }
}

TEST(PlayLinks, AnAnswerHoldingAPlayLinkIsResolvedOnce) {
  // Found by fuzzing: the label comes back inside the link that plays, and a mark in
  // it used to start the resolution over and over until the stack ran out.
  Portal t;
  t.http.Answer("eebovod://1-1-1-t$qvod://9|AB|a.rmvb|$qvod");
  t.Click("eebovod://1-1-1-t");
  EXPECT_EQ(t.http.requests.size(), 1u);
  EXPECT_EQ(t.player.url, "qvod://9|AB|a.rmvb|");
}

TEST(PlayLinks, OnlyFromThePortalAndHandedOnByTheSidePanel) {
  Portal t;
  const std::string link = "eeqvod://qvod&&&%2Fm%2Fa.mp4&&&t&&&1&&&9&&&1&&&1";
  EXPECT_TRUE(t.Click(link, "Web1", "http://127.0.0.1:8/soft/"));
  EXPECT_TRUE(t.Click(link, "Web1", t.dir.File("c.htm")));
  EXPECT_TRUE(t.Click(link, "Web1", ""));
  EXPECT_TRUE(t.player.url.empty()) << "another page, a list page or a frame gives no play link";

  // The episode page beside the player hands its links to Web1.
  t.Click(link, "Web5", kBase + "pp.htm?9-1-1-t-0");
  EXPECT_EQ(t.player.url, "/m/a.mp4");
  EXPECT_EQ(t.views["Web5"].CurrentAddress(), kBase + "pp.htm?9-1-1-t-0");
  // Other views carry out no play link.
  t.player.url.clear();
  EXPECT_TRUE(t.Click(link, "Web9"));
  EXPECT_TRUE(t.player.url.empty());
}

TEST(PlayLinks, AHugeTitleIsCutOnceAndTheCutTitleIsTheOneEverywhere) {
  // 3 MiB titles of escapes, of raw multi-byte text and with the byte cut falling
  // inside an escape; by both kinds of play link.
  std::string escapes, raw, shifted = "ab";
  while (escapes.size() < 3u << 20) escapes += "%u5929";
  while (raw.size() < 3u << 20) raw += "天";
  while (shifted.size() < 3u << 20) shifted += "%u5929";
  for (const std::string& title : {escapes, raw, shifted}) {
    for (const bool resolved : {true, false}) {
      Portal t;
      t.http.Answer("5$qvod://9|AB|a.rmvb|$qvod\r\n");
      if (resolved) t.Click("eebovod://123-2-5-" + title);
      else t.Click("eeqvod://qvod&&&http%3A//127.0.0.1/b.mp4&&&" + title + "&&&" + title + "&&&123&&&2&&&5");
      const std::string& key = t.E().CurrentEpisodeKey;
      const std::string prefix = "123-2-5-";
      ASSERT_EQ(key.rfind(prefix, 0), 0u) << key.substr(0, 40);
      const std::string kept = key.substr(prefix.size());
      SCOPED_TRACE(kept.substr(0, 12) + (resolved ? " eebovod" : " eeqvod"));
      // A few hundred characters' worth is kept, from the start, never half of a
      // character or of an escape.
      EXPECT_GE(kept.size(), 200u);
      EXPECT_LE(kept.size(), 1024u);
      EXPECT_EQ(title.rfind(kept, 0), 0u);
      if (title == raw) EXPECT_EQ(kept.size() % 3, 0u);
      else EXPECT_EQ((kept.size() - (title == shifted ? 2 : 0)) % 6, 0u);
      EXPECT_EQ(t.views["Web5"].CurrentAddress(), kBase + "pp.htm?" + key + "-0");
      EXPECT_LE(t.f->bo_name.caption.size(), 2048u);
      // The record holds the very title the key does.
      EXPECT_EQ(t.History().rfind("123|" + kept + "|", 0), 0u) << t.History().substr(0, 40);
      EXPECT_LE(t.History().size(), 2048u);
    }
  }
}

TEST(PlayLinks, APageClickingPlayLinksInALoopCostsLittleAndTheUsersClicksStillCount) {
  // 30 seconds of a portal page clicking a play link a hundred times every 10 ms,
  // the portal failing every request; the user clicks another item now and then.
  Portal t;
  t.http.Answer("1");
  std::vector<size_t> requestsAtClick;
  for (int ms = 0; ms < 30000; ms += 10) {
    for (int i = 0; i < 100; ++i) {
      bool cancel = false;
      t.program->links().BeforeNavigate("Web1", "eebovod://601-1-" + std::to_string(i % 3 + 1) + "-x", kPage, cancel);
      ASSERT_TRUE(cancel);
    }
    if (ms % 7000 == 3000) {
      t.Click("eebovod://7-1-1-y");
      requestsAtClick.push_back(t.http.requests.size());
      ASSERT_EQ(t.http.requests.back(), kBase + "h.asp?id=7&v=1&v1=1") << "the user's click is carried out at once";
    }
    t.clock.Advance(10);
  }
  EXPECT_EQ(requestsAtClick.size(), 4u);
  size_t asked = 0;
  for (const auto& r : t.http.requests) asked += r.find("h.asp") != std::string::npos;
  EXPECT_LE(asked, 6u + 4u) << "one request every few seconds from the page, one per click";
  // Every failure says the same; its balloon is shown again only once it has gone.
  EXPECT_LE(t.Balloons().size(), 3u);
  EXPECT_GE(t.Balloons().size(), 2u);
  for (const auto& b : t.Balloons()) EXPECT_EQ(b, "读取数据出错，请返回重试！");
}

}  // namespace
}  // namespace tavlin::testing

namespace tavlin::testing {
namespace {

TEST(PlayLinks, AnItemOfThePagePlayerLeavesThePlayersOwnItemStoppedWhateverDrivesIt) {
  Portal t;
  t.dir.Write("date_f.dat", "a.mp4|/m/a.mp4|0\r\n");
  t.player.duration = 600;
  t.Open("/m/a.mp4");
  t.Play(42);
  t.Click("eeqvod://mp4&&&http%3A//x/y.mp4&&&%u591C&&&1&&&105&&&1&&&1");
  EXPECT_TRUE(t.f->Pic2.visible);
  EXPECT_EQ(t.player.state, kStateStopped);
  EXPECT_EQ(t.dir.Read("date_f.dat"), "a.mp4|/m/a.mp4|42\r\n") << "the hidden item keeps its place";
  EXPECT_EQ(t.PlayTip(), "播放");
  EXPECT_EQ(t.Status(), "已停止");

  // The bar's button, its picture, the desktop's play control, the keys and full
  // screen: none of them may bring the hidden file back.
  t.player.calls.clear();
  t.Player().bo_but_Click(0);
  t.Player().adp_Click();
  t.program->remote().Play();
  t.program->remote().PlayPause();
  for (int key : {forms::kKeySpace, forms::kKeyRight, forms::kKeyUp}) t.Key(key);
  t.Player().bo_but_Click(3);
  t.Play(3);
  EXPECT_EQ(t.player.state, kStateStopped);
  EXPECT_FALSE(t.player.fullScreen);
  for (const auto& call : t.player.calls) EXPECT_EQ(call.rfind("volume", 0), 0u) << call;
  EXPECT_EQ(t.PlayTip(), "播放");

  // A file started after it plays as ever.
  t.Open("/m/a.mp4");
  EXPECT_EQ(t.State().playback.PlaysInPage, 0);
  t.Play(2);
  t.Player().bo_but_Click(3);
  EXPECT_TRUE(t.player.fullScreen);
}

}  // namespace
}  // namespace tavlin::testing
