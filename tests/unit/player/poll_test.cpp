// The status poll and the end of playback, driven through whole scenarios with a
// scripted player and the manual clock.
#include <gtest/gtest.h>

#include "core/menus/tip.h"
#include "support/program_fixture.h"

namespace tavlin {
namespace {

using testing::PlayerFixture;

TEST(Poll, NothingLoadedShowsReadyAndHidesTheBand) {
  PlayerFixture t;
  t.f->C("huan").x = 5;
  t.f->C("bo_but", 0).tooltip = "暂停";
  t.clock.Advance(1000);
  EXPECT_EQ(t.Status(), "准备就绪");
  EXPECT_EQ(t.PlayTip(), "播放");
  EXPECT_EQ(t.f->C("huan").x, -30);
  EXPECT_EQ(t.f->C("times").caption, "00:00 /00:00");
}

TEST(Poll, LocalFileFromOpeningToPlayingToPausedByThePlayer) {
  PlayerFixture t;
  t.player.duration = 100;
  t.player.bitrate = 800;
  t.Open("/media/a b/film.mp4");
  EXPECT_EQ(t.dir.Read("date_f.dat"), "film.mp4|/media/a b/film.mp4|0\r\n\r\n");
  EXPECT_EQ(t.f->CurrentView, 9);
  EXPECT_TRUE(t.f->T("Timer1").enabled());

  t.player.state = kStatePreparing;
  t.clock.Advance(1000);
  EXPECT_EQ(t.Status(), "准备读");
  EXPECT_TRUE(t.f->C("bo_ad").visible);
  EXPECT_FALSE(t.f->C("QvodC").visible);

  t.player.state = kStatePlaying;
  t.Play(1);
  EXPECT_EQ(t.Status(), "播放中(800 Kbps)");
  EXPECT_EQ(t.PlayTip(), "暂停");
  EXPECT_EQ(t.f->C("bo_but", 0).frame, (forms::Frame{12, 76, 0, 38, 33}));
  EXPECT_FALSE(t.f->C("bo_ad").visible);
  EXPECT_TRUE(t.f->C("QvodC").visible);
  EXPECT_EQ(t.f->C("times").caption, "00:01 / 01:40");

  // From second 7 on, a running download shows its rate instead of the bit rate.
  t.player.speed = 120;
  t.f->C("gunt").w = 613;  // the thumb (13) travels 600 pixels
  t.Play(5);
  EXPECT_EQ(t.Status(), "播放中(800 Kbps)");
  t.Play(1);
  EXPECT_EQ(t.Status(), "播放中(120 Kbps/S)");
  EXPECT_EQ(t.f->C("gunt1").x, 42);  // 7 s of 100 on 600 pixels
  EXPECT_EQ(t.f->C("gunt1").tooltip, "00:07");
  // The time label keeps its right edge 13 pixels inside the 835-pixel player area.
  ASSERT_EQ(t.f->C("qvod").w, 835);
  EXPECT_EQ(t.f->C("times").x + t.f->C("times").w, 822);
  EXPECT_EQ(t.f->C("times").y, 2);
  EXPECT_EQ(t.State().playback.ResumePosition, 7);

  t.player.state = kStatePaused;
  t.clock.Advance(1000);
  EXPECT_EQ(t.Status(), "已暂停");
  EXPECT_EQ(t.PlayTip(), "播放");
  // The picture goes with the tool tip: a play symbol, since a click plays.
  EXPECT_EQ(t.f->C("bo_but", 0).frame, (forms::Frame{12, 0, 0, 38, 33}));
  EXPECT_TRUE(t.f->C("bo_ad").visible);
}

TEST(Poll, StatusTextOfEveryState) {
  struct Case {
    int state;
    const char* status;
    const char* tip;
  };
  const Case cases[] = {{0, "播放完毕", "播放"},     {1, "已停止", "播放"},
                        {2, "已暂停", "播放"},       {4, "正在缓冲 (35Kbps/S)", "暂停"},
                        {5, "等待中", "暂停"},       {6, "播放结束", "暂停"},
                        {7, "准备读", "暂停"},       {8, "重连中", "暂停"},
                        {9, "BT种子下载中", "暂停"}, {10, "正在连接 (35KB/S)", "暂停"},
                        {11, "正在停止", "暂停"},    {12, "earlier", "暂停"},
                        {-1, "earlier", "暂停"}};
  for (const Case& c : cases) {
    PlayerFixture t;
    t.player.url = "/m/a.mp4";
    t.player.duration = 100;
    t.player.position = 10;
    t.player.speed = 35;
    t.player.state = c.state;
    t.f->C("zhun").caption = "earlier";
    t.f->C("bo_but", 0).tooltip = "暂停";
    t.clock.Advance(1000);
    EXPECT_EQ(t.Status(), c.status) << c.state;
    EXPECT_EQ(t.PlayTip(), c.tip) << c.state;
  }
}

TEST(Poll, DownloadBandFollowsTheProgress) {
  // Progress in thousandths of the file on a 613-pixel track.
  struct Case {
    int progress, x, w;
  };
  const Case cases[] = {{0, -30, 0},    // nothing yet: the band is out of sight
                        {1, 0, 1},      // 0.613 pixels
                        {500, 0, 306},  // 306.5 goes to the even 306
                        {999, 0, 612},  // 612.387
                        {1000, 0, 613}};
  for (const Case& c : cases) {
    PlayerFixture t;
    t.player.url = "qvod://x";
    t.player.state = kStatePlaying;
    t.player.duration = 100;
    t.player.progress = c.progress;
    t.f->C("gunt").w = 613;
    t.clock.Advance(1000);
    const auto& band = t.f->C("huan");
    EXPECT_EQ(band.x, c.x) << c.progress;
    EXPECT_EQ(band.w, c.w) << c.progress;
  }
}

TEST(Poll, ResumesOnceAtTheSavedPositionAndAfterStopAndPlay) {
  PlayerFixture t;
  t.player.duration = 1000;
  t.Player().l_com("/m/film.mp4");  // as a list replay does: then its saved position
  t.State().playback.ResumePosition = 300;
  t.Play(1);
  EXPECT_EQ(t.player.calls, (std::vector<std::string>{"play", "seek:300"}));
  EXPECT_EQ(t.State().playback.ResumeApplied, 1);
  t.Play(120);
  EXPECT_EQ(t.player.position, 420);

  t.Player().bo_but_Click(1);
  EXPECT_EQ(t.dir.Read("date_f.dat"), "film.mp4|/m/film.mp4|420\r\n");
  EXPECT_EQ(t.Status(), "已停止");
  EXPECT_EQ(t.State().playback.PlayPosition, 0);
  t.clock.Advance(5000);
  EXPECT_EQ(t.Status(), "已停止");  // the poll is off

  // Play again: the player starts at 0, the first playing poll seeks forward.
  t.player.calls.clear();
  t.Player().bo_but_Click(0);
  EXPECT_EQ(t.Status(), "正在播放");
  t.clock.Advance(1000);
  EXPECT_EQ(t.player.calls, (std::vector<std::string>{"play", "seek:420"}));
  // Already past the resume point: no seek, but applied.
  t.State().playback.ResumeApplied = 0;
  t.State().playback.ResumePosition = 100;
  t.Play(1);
  EXPECT_EQ(t.player.calls.back(), "seek:420");
  EXPECT_EQ(t.State().playback.ResumeApplied, 1);
}

TEST(Poll, NextEpisodeIsBufferedOncePastSixHundredOnePerMille) {
  struct Case {
    const char* nextUrl;
    int progress;
    std::vector<std::string> calls;
    int resolves;
    int balloons;
  };
  const Case cases[] = {{"qvod://next", 601, {}, 0, 0},
                        {"qvod://next", 602, {"next:qvod://next"}, 0, 1},
                        {"1", 900, {}, 0, 0},
                        {"0", 700, {}, 3, 0}};
  for (const Case& c : cases) {
    PlayerFixture t;
    t.player.url = "qvod://now";
    t.player.state = kStatePlaying;
    t.player.duration = 1000;
    t.player.position = 50;
    t.player.progress = c.progress;
    t.State().episodes.NextEpisodeUrl = state::NextEpisode::FromText(c.nextUrl);
    t.State().episodes.CurrentEpisodeKey = "123-2-5-abc";
    t.SetIni("S_q", "s_h", "2");
    t.http.Answer("0");  // not known yet: asked again at every poll
    t.Play(3);
    EXPECT_EQ(t.player.calls, c.calls) << c.nextUrl << "/" << c.progress;
    EXPECT_EQ(t.http.requests.size(), static_cast<size_t>(c.resolves)) << c.nextUrl;
    EXPECT_EQ(t.Balloons().size(), static_cast<size_t>(c.balloons));
    if (c.balloons) EXPECT_EQ(t.Balloons().front(), "开始缓冲下一集！");
  }
}

TEST(Poll, NearTheEndBalloonsOnlyWithTheSetting) {
  struct Case {
    const char* sPao;
    const char* nextPage;
    bool armed;
    std::vector<std::string> balloons;
  };
  const std::string next = "eeqvod://qvod&&&x&&&t&&&2&&&1&&&1&&&2";
  const Case cases[] = {{"2", next.c_str(), false, {"正在准备播放下一集！"}},
                        {"2", next.c_str(), true, {"即将播放完毕，正准备自动关机！"}},
                        {"2", "3", false, {}},
                        {"1", next.c_str(), true, {}}};
  for (const Case& c : cases) {
    PlayerFixture t("", c.sPao);
    if (c.armed) t.f->C("bo_but", 6).tooltip = "已开启自动关机";
    t.player.url = "qvod://now";
    t.player.state = kStatePlaying;
    t.player.duration = 100;
    t.player.position = 99;
    t.State().episodes.NextEpisodePage = state::NextEpisode::FromText(c.nextPage);
    t.f->C("times").caption = "before";
    t.clock.Advance(1000);
    EXPECT_EQ(t.Balloons(), c.balloons) << c.sPao << c.nextPage;
    EXPECT_TRUE(t.f->T("Timer2").enabled());
    // Without balloons the tick ends early: nothing else is refreshed.
    EXPECT_EQ(t.f->C("times").caption, std::string(c.sPao) == "2" ? "01:39 / 01:40" : "before");
    t.player.position = 100;
    t.clock.Advance(1000);
    EXPECT_EQ(t.Balloons(), c.balloons) << "the second tick of the last two seconds announces nothing again";
  }
}

TEST(EndOfPlayback, WithoutNextEpisodeRunsOnceAndAStopSavesPositionOne) {
  PlayerFixture t;
  t.player.duration = 20;
  t.Open("/m/clip.mp4");
  t.Play(19);
  EXPECT_TRUE(t.f->T("Timer2").enabled());
  t.Play(3);
  EXPECT_EQ(t.player.state, kStateIdle);
  EXPECT_EQ(t.Status(), "播放完毕");
  EXPECT_TRUE(t.f->C("bo_ad").visible);
  EXPECT_FALSE(t.f->T("Timer2").enabled());
  EXPECT_TRUE(t.f->T("Timer1").enabled());
  EXPECT_EQ(t.State().playback.PlayPosition, 1);
  t.Play(10);  // the player stays at the end: no second end handling
  EXPECT_FALSE(t.f->T("Timer2").enabled());
  EXPECT_EQ(t.Count("Web2", player::kNextEpisodeMarker), 0);
  EXPECT_EQ(t.Status(), "播放完毕");
  t.Player().bo_but_Click(1);
  EXPECT_EQ(t.dir.Read("date_f.dat"), "clip.mp4|/m/clip.mp4|1\r\n");
  EXPECT_TRUE(t.power.calls.empty());
}

TEST(EndOfPlayback, ContinuesWithTheNextEpisodeThroughTheMarker) {
  // A known next episode plays at once; an unresolved one is left to the episode
  // page, which starts it itself.
  const std::string portal = "http://127.0.0.1:9/soft/";
  for (const std::string page : {"eeqvod://qvod&&&x&&&t&&&2&&&1&&&1&&&2", "3"}) {
    PlayerFixture t;
    t.SetIni("S_q", "s_bo", "2");
    t.player.url = "qvod://now";
    t.player.state = kStatePlaying;
    t.player.duration = 30;
    t.player.position = 25;
    t.State().episodes.CurrentEpisodeKey = "1-1-1-t";
    t.State().episodes.NextEpisodePage = state::NextEpisode::FromText(page);
    t.Play(15);
    const bool known = page != "3";
    EXPECT_EQ(t.player.url, known ? "x" : "qvod://now") << page;
    EXPECT_EQ(t.views["Web5"].CurrentAddress(), portal + (known ? "pp.htm?1-1-2-t-0" : "pp.htm?1-1-1-t-12"));
    EXPECT_TRUE(t.f->T("Timer1").enabled());
    EXPECT_EQ(t.Count("Web2", player::kNextEpisodeMarker), 0) << "the marker is never loaded";
  }
}

TEST(EndOfPlayback, ArmedShutdownPowersOffOnceEvenWithANextEpisode) {
  PlayerFixture t;
  menus::Tip& tip = t.program->tip();
  tip.ItemClick("kaiqi");
  EXPECT_EQ(t.f->C("bo_but", 6).tooltip, "已开启自动关机");
  t.player.url = "qvod://now";
  t.player.state = kStatePlaying;
  t.player.duration = 30;
  t.player.position = 20;
  t.State().episodes.NextEpisodePage = state::NextEpisode::FromText("eeqvod://qvod&&&x&&&t&&&2&&&1&&&1&&&2");
  t.Play(20);
  EXPECT_EQ(t.power.calls, std::vector<bool>{true});
  EXPECT_FALSE(t.f->T("Timer1").enabled());
  EXPECT_EQ(t.Status(), "播放完毕");
  EXPECT_EQ(t.Count("Web2", player::kNextEpisodeMarker), 0);
}

TEST(EndOfPlayback, DisarmedBeforeTheEndNoShutdown) {
  PlayerFixture t;
  menus::Tip& tip = t.program->tip();
  tip.ItemClick("kaiqi");
  tip.ItemClick("quxiao");
  t.player.url = "/m/a.mp4";
  t.player.state = kStatePlaying;
  t.player.duration = 10;
  t.Play(15);
  EXPECT_TRUE(t.power.calls.empty());
  EXPECT_EQ(t.Status(), "播放完毕");
}

TEST(EndOfPlayback, UnknownLengthCountsAsNearTheEnd) {
  PlayerFixture t;
  t.player.url = "http://x/live";
  t.player.state = kStatePlaying;
  t.player.position = 5;
  t.clock.Advance(1000);
  EXPECT_TRUE(t.f->T("Timer2").enabled());
  EXPECT_EQ(t.f->C("gunt1").x, 0);
}

}  // namespace
}  // namespace tavlin

namespace tavlin::testing {
namespace {

TEST(Poll, AStartingItemIsShownAtOnceThenPolledEverySecond) {
  PlayerFixture t;
  t.dir.Write("a.mp4", "x");
  t.Open(t.dir.File("a.mp4"));
  // The player's own report shows the picture before the quick beat's next tick.
  EXPECT_FALSE(t.f->QvodC.visible);
  t.Player().PlaybackStarted();
  EXPECT_TRUE(t.f->QvodC.visible) << "the picture shows once the player plays";
  EXPECT_EQ(t.f->T("Timer1").interval(), 1000);
  // Playing, reports (after seeks) leave the poll to its beat.
  t.f->QvodC.visible = false;
  t.Player().PlaybackStarted();
  EXPECT_FALSE(t.f->QvodC.visible);

  // An item that never plays does not keep the quick beat.
  t.Open(t.dir.File("a.mp4"));
  t.player.state = kStateConnecting;
  t.clock.Advance(1000);
  EXPECT_EQ(t.f->T("Timer1").interval(), 50);
  EXPECT_EQ(t.Status(), "正在连接 (0KB/S)");
  t.clock.Advance(4000);
  EXPECT_EQ(t.f->T("Timer1").interval(), 1000);
}


TEST(Poll, AResumedItemSaysSoUntilTheNextBeatWhileAStoppedOneIsWatchedClosely) {
  PlayerFixture t;
  t.dir.Write("a.mp4", "x");
  t.player.duration = 600;
  t.player.bitrate = 800;
  t.Open(t.dir.File("a.mp4"));
  t.Play(10);
  t.Player().bo_but_Click(0);
  t.clock.Advance(2500);
  ASSERT_EQ(t.Status(), "已暂停");

  t.Player().bo_but_Click(0);
  EXPECT_TRUE(t.f->QvodC.visible) << "the paused picture is there: it shows at once";
  t.Player().PlaybackStarted();
  t.clock.Advance(400);  // well past the quick beat of a starting item
  EXPECT_EQ(t.Status(), "正在播放");
  t.clock.Advance(600);
  EXPECT_EQ(t.Status(), "播放中(800 Kbps)");

  // Stopped, the item starts over: the poll looks at once whether it plays.
  t.Player().bo_but_Click(1);
  t.Player().bo_but_Click(0);
  EXPECT_EQ(t.f->T("Timer1").interval(), 50);
  t.clock.Advance(50);
  EXPECT_EQ(t.Status(), "播放中(800 Kbps)");
}


TEST(Poll, AnItemThatCannotBeOpenedSaysSoOncePerStartNeverAsFinished) {
  PlayerFixture t;
  t.dir.Write("date.dat", "\r\n");
  bool cancel = false;
  t.program->links().BeforeNavigate("Web1", "eeqvod://qvod&&&qvod%3A//9%7CAB%7Ca.rmvb%7C&&&%u591C&&&1&&&9&&&1&&&1",
                                    kPortal, cancel);
  // Still trying: the player's own words.
  t.player.state = kStateReconnecting;
  t.clock.Advance(1000);
  EXPECT_EQ(t.Status(), "重连中");
  // It gave up: the state reads finished, as at the end of a film.
  t.player.state = kStateIdle;
  t.player.openFailed = true;
  t.clock.Advance(5000);
  EXPECT_EQ(t.Status(), "无法打开，播放失败");
  EXPECT_EQ(t.f->times.caption, "00:00 / 00:00");
  EXPECT_FALSE(t.f->T("Timer2").enabled());
  EXPECT_EQ(t.Balloons(), std::vector<std::string>{"无法打开“夜-1”，请检查网络连接后重试！"});

  // Tried again at once, it fails again while the balloon still shows: one balloon.
  t.Player().bo_but_Click(0);
  t.player.state = kStateIdle;
  t.clock.Advance(2000);
  EXPECT_EQ(t.Balloons().size(), 1u);
  // Tried again later, it says so again.
  t.clock.Advance(10000);
  t.Player().bo_but_Click(0);
  t.player.state = kStateIdle;
  t.clock.Advance(2000);
  EXPECT_EQ(t.Balloons().size(), 2u);

  // A missing file is told once, at its start.
  t.Open("/nowhere/film.mkv");
  t.player.state = kStateIdle;
  t.clock.Advance(3000);
  EXPECT_EQ(t.Balloons().back(), "找不到要播放的文件：/nowhere/film.mkv");
  EXPECT_EQ(t.Balloons().size(), 3u);
  EXPECT_EQ(t.Status(), "无法打开，播放失败");
}

}  // namespace
}  // namespace tavlin::testing
