// Every way an item starts (a play link, a list entry, the open-file button, the
// command line) must leave nothing of the item before in force: its series, its
// resume point, its buffering, its end handling.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "support/program_fixture.h"

namespace tavlin::testing {
namespace {

using state::NextEpisode;

struct Starts : PlayerFixture {
  Starts() {
    dir.Write("clip.mp4", "x");
    dir.Write("date.dat", "123|abc|5|qvod%3A//9%7CAB%7Cabc5.rmvb%7C|2|5|420\r\n");
    dir.Write("date_f.dat", "clip.mp4|" + dir.File("clip.mp4") + "|77\r\n");
  }
  // The item before: a series episode, resumed, its next episode found and buffered.
  void SeriesEpisodePlaying() {
    player.url = "qvod://before";
    player.state = kStatePlaying;
    player.duration = 5000;
    auto& e = State().episodes;
    e.CurrentEpisodeKey = "9-1-4-old";
    e.NextEpisodePage = NextEpisode::Known("eeqvod://qvod&&&old5&&&old&&&5&&&9&&&1&&&5");
    e.NextEpisodeUrl = NextEpisode::Known("qvod://old5");
    e.NextPrefetchStarted = 1;
    State().playback.ResumeApplied = 1;
    State().playback.ResumePosition = 1234;
  }
};

struct Way {
  const char* name;
  std::function<void(Starts&)> start;
  const char* episodeKey;
  const char* itemKey;  // "" for the local file's path
  int source;
  int resumeAt;
};

TEST(ItemStart, NothingOfTheSeriesBeforeSurvivesAnyStart) {
  const std::string page = std::string(kPortal) + "index.htm";
  const Way ways[] = {
      {"play link",
       [&](Starts& t) { t.Follow("Web1", "eeqvod://qvod&&&qvod%3A//7%7CCD%7Cx.rmvb%7C&&&new&&&2&&&7&&&1&&&2", page); },
       "7-1-2-new", "7", 1, 0},
      {"network list entry", [](Starts& t) { t.Follow("Web3", "open://1", t.dir.File("c.htm")); }, "123-2-5-abc", "123",
       1, 420},
      {"local list entry",
       [](Starts& t) {
         t.f->npc_Click(12);
         t.Follow("Web4", "open://1", t.dir.File("f.htm"));
       },
       "0", "", 2, 77},
      {"open-file button", [](Starts& t) { t.Open(t.dir.File("clip.mp4")); }, "0", "", 2, 0},
      {"command line", [](Starts& t) { t.Player().l_com("\"" + t.dir.File("clip.mp4") + "\""); }, "0", "", 2, 0},
  };
  for (const Way& w : ways) {
    Starts t;
    t.SeriesEpisodePlaying();
    w.start(t);
    SCOPED_TRACE(w.name);
    const auto& e = t.State().episodes;
    const auto& p = t.State().playback;
    EXPECT_NE(t.player.url, "qvod://before");
    EXPECT_EQ(e.CurrentEpisodeKey, w.episodeKey);
    EXPECT_EQ(e.NextEpisodePage.ToText(), "0");
    EXPECT_EQ(e.NextEpisodeUrl.ToText(), "0");
    EXPECT_EQ(e.NextPrefetchStarted, 0);
    EXPECT_EQ(p.CurrentItemKey, *w.itemKey ? w.itemKey : t.dir.File("clip.mp4"));
    EXPECT_EQ(p.PlaySource, w.source);
    EXPECT_EQ(p.PlaysInPage, 0);
    EXPECT_EQ(p.ResumePosition, w.resumeAt);
    EXPECT_EQ(p.ResumeApplied, 0);

    // The new item plays on from where its record says, and buffers its own next
    // episode, never the old one.
    t.player.progress = 700;
    t.Play(2);
    const auto& calls = t.player.calls;
    const bool resumed = std::find(calls.begin(), calls.end(), "seek:" + std::to_string(w.resumeAt)) != calls.end();
    EXPECT_EQ(resumed, w.resumeAt > 0);
    EXPECT_EQ(std::find(calls.begin(), calls.end(), "seek:1234"), calls.end());
    EXPECT_EQ(std::find(calls.begin(), calls.end(), "next:qvod://old5"), calls.end());
  }
}

TEST(ItemStart, PagePlayerItemKeepsThePlayersOwnResumeButNotTheSeries) {
  Starts t;
  t.SeriesEpisodePlaying();
  t.Follow("Web1", "eeqvod://web&&&http%3A//x/a.mp4&&&new&&&2&&&7&&&1&&&2", std::string(kPortal) + "index.htm");
  const auto& e = t.State().episodes;
  EXPECT_EQ(t.State().playback.PlaysInPage, 1);
  EXPECT_EQ(t.State().playback.CurrentItemKey, "0");
  EXPECT_EQ(e.CurrentEpisodeKey, "7-1-2-new");
  EXPECT_EQ(e.NextEpisodePage.ToText(), "0");
  EXPECT_EQ(e.NextEpisodeUrl.ToText(), "0");
  // The player's stopped item is not the page's: its buffering flag is left.
  EXPECT_EQ(e.NextPrefetchStarted, 1);
}

TEST(ItemStart, EndHandlingArmedForTheItemBeforeDoesNotReachTheNewOne) {
  // The last two seconds of an item arm the end handling; a list entry started in
  // them must still resume where its record says, and an armed shutdown waits for
  // the end of the item now playing.
  for (const bool shutdown : {false, true}) {
    Starts t;
    if (shutdown) t.program->tip().ItemClick("kaiqi");
    t.player.url = "qvod://before";
    t.player.state = kStatePlaying;
    t.player.duration = 100;
    t.player.position = 99;
    t.clock.Advance(1000);
    ASSERT_TRUE(t.f->T("Timer2").enabled());

    t.Follow("Web3", "open://1", t.dir.File("c.htm"));
    t.player.duration = 3000;
    t.player.state = kStateConnecting;  // the new item takes a while to come
    t.clock.Advance(3000);
    t.player.state = kStatePlaying;
    t.clock.Advance(1000);
    EXPECT_EQ(t.player.position, 420) << "resumed at the record's position";
    EXPECT_TRUE(t.power.calls.empty());
    EXPECT_NE(t.Status(), "播放完毕");
    EXPECT_TRUE(t.f->T("Timer1").enabled());
  }
}

TEST(NextEpisode, StoredFormReadsBackAsTheSameStage) {
  for (const NextEpisode& n : {NextEpisode(), NextEpisode::NoneLeft(), NextEpisode::Failed(),
                               NextEpisode::Known("eeqvod://qvod&&&a&&&t&&&2&&&1&&&1&&&2")}) {
    EXPECT_EQ(NextEpisode::FromText(n.ToText()), n) << n.ToText();
  }
  // Nothing written reads as nothing known, never as a link to follow.
  EXPECT_FALSE(NextEpisode::FromText("").known());
}

}  // namespace
}  // namespace tavlin::testing
