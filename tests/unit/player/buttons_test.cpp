// The button row: play/pause, stop with the position saved, mute, full screen, open
// file, previous/next, menus, hover frames.
#include <gtest/gtest.h>

#include <functional>

#include "core/base/text.h"
#include "support/program_fixture.h"

namespace tavlin {
namespace {

using testing::PlayerFixture;

TEST(Buttons, PlayAndStopWithNothingLoadedChangeNothing) {
  PlayerFixture t;
  for (int index : {0, 1}) {
    t.Player().bo_but_Click(index);
    EXPECT_EQ(t.Status(), "准备就绪");
    EXPECT_EQ(t.PlayTip(), "播放");
    EXPECT_TRUE(t.player.calls.empty());
  }
}

TEST(Buttons, PlayPauseTogglesByTheTooltip) {
  PlayerFixture t;
  t.player.url = "/m/a.mp4";
  t.f->T("Timer1").SetEnabled(false);
  t.State().playback.ResumeApplied = 1;
  t.Player().bo_but_Click(0);
  EXPECT_EQ(t.PlayTip(), "暂停");
  EXPECT_EQ(t.Status(), "正在播放");
  EXPECT_EQ(t.State().playback.ResumeApplied, 0);
  EXPECT_TRUE(t.f->T("Timer1").enabled());
  EXPECT_EQ(t.f->C("bo_but", 0).frame, (forms::Frame{12, 76, 0, 38, 33}));
  t.f->C("QvodC").visible = true;
  t.f->C("bo_ad").visible = false;
  t.Player().bo_but_Click(0);
  EXPECT_EQ(t.PlayTip(), "播放");
  EXPECT_EQ(t.Status(), "已暂停");
  EXPECT_TRUE(t.f->C("bo_ad").visible);
  EXPECT_FALSE(t.f->C("QvodC").visible);
  EXPECT_EQ(t.f->C("bo_but", 0).frame, (forms::Frame{12, 0, 0, 38, 33}));
  EXPECT_EQ(t.player.calls, (std::vector<std::string>{"play", "pause"}));
  // The ad picture acts as the play button.
  t.Mouse(forms::InputEvent::Click, {"adp", {}}, 1, 0, 0);
  EXPECT_EQ(t.PlayTip(), "暂停");
}

TEST(Buttons, StopSavesThePositionIntoTheItemsList) {
  struct Case {
    int source;
    std::string key;
    int position;
    std::string history, local;
  };
  const std::string history = "12|t|e|a|1|2|0\r\n\r\n7|u|e|b|1|1|5\r\n";
  const std::string local = "a.mp4|/m/a.mp4|0\r\n";
  const Case cases[] = {
      {1, "7", 754, "12|t|e|a|1|2|0\r\n7|u|e|b|1|1|754\r\n", local},
      {2, "/m/a.mp4", 33, history, "a.mp4|/m/a.mp4|33\r\n"},
      {2, "/m/a.mp4", 0, history, local},
      {2, "0", 33, history, local},
      {1, "abc", 33, history, local},
      {0, "/m/a.mp4", 33, history, local},
  };
  for (const Case& c : cases) {
    PlayerFixture t;
    t.dir.Write("date.dat", history);
    t.dir.Write("date_f.dat", local);
    t.player.url = "/m/a.mp4";
    t.player.state = kStatePlaying;
    t.State().playback.PlaySource = c.source;
    t.State().playback.CurrentItemKey = c.key;
    t.State().playback.PlayPosition = c.position;
    t.f->C("bo_but", 0).tooltip = "暂停";
    t.Player().bo_but_Click(1);
    SCOPED_TRACE(c.key + "@" + std::to_string(c.position));
    EXPECT_EQ(t.dir.Read("date.dat"), c.history);
    EXPECT_EQ(t.dir.Read("date_f.dat"), c.local);
    EXPECT_EQ(t.State().playback.PlayPosition, 0);
    EXPECT_FALSE(t.f->T("Timer1").enabled());
    EXPECT_EQ(t.player.calls, std::vector<std::string>{"stop"});
    EXPECT_EQ(t.PlayTip(), "播放");
    EXPECT_EQ(t.Status(), "已停止");
    EXPECT_TRUE(t.f->C("bo_ad").visible);
  }
}

TEST(Buttons, MuteWorksWithoutAnItemAndEndsWithAVolumeChange) {
  PlayerFixture t;
  t.Player().bo_but_Click(2);
  EXPECT_EQ(t.f->C("bo_but", 2).tooltip, "取消静音");
  EXPECT_TRUE(t.player.mute);
  EXPECT_EQ(t.f->C("bo_but", 2).frame, (forms::Frame{14, 50, 0, 25, 24}));
  t.Player().bo_but_Click(2);
  EXPECT_EQ(t.f->C("bo_but", 2).tooltip, "静音");
  EXPECT_FALSE(t.player.mute);
  EXPECT_EQ(t.f->C("bo_but", 2).frame, (forms::Frame{14, 0, 0, 25, 24}));
}

// Whatever changes the state, the pictures of the play and mute buttons show what
// their tool tips say, hovered or not.
TEST(Buttons, PicturesFollowTheStateToTheEndOfAnItemAndBackFromMuting) {
  PlayerFixture t;
  t.player.url = "/m/a.mp4";
  t.player.duration = 5;
  t.player.state = kStatePlaying;
  t.Play(1);
  EXPECT_EQ(t.f->C("bo_but", 0).frame, (forms::Frame{12, 76, 0, 38, 33}));  // pause
  t.Play(8);                                                                // to the end, and 2 s on
  EXPECT_EQ(t.Status(), "播放完毕");
  EXPECT_EQ(t.PlayTip(), "播放");
  EXPECT_EQ(t.f->C("bo_but", 0).frame, (forms::Frame{12, 0, 0, 38, 33}));  // play
  t.Player().bo_but_MouseMove(0, 0, 3, 3);                                 // hovered, then the poll looks again
  t.Play(1);
  EXPECT_EQ(t.f->C("bo_but", 0).frame, (forms::Frame{12, 38, 0, 38, 33}));  // play, hovered

  const forms::Frame soundOn{14, 0, 0, 25, 24};
  t.f->npc_Click(9);
  for (auto unmute :
       std::initializer_list<std::function<void()>>{[&] { t.Key(forms::kKeyUp); },
                                                    [&] {
                                                      t.Mouse(forms::InputEvent::MouseDown, {"yin", {}}, 1, 40, 5);
                                                    },
                                                    [&] {
                                                      t.Raise(forms::InputEvent::WheelOn({"QvodC", {}}, -1));
                                                    }}) {
    t.Player().bo_but_Click(2);
    EXPECT_NE(t.f->C("bo_but", 2).frame, soundOn);
    unmute();
    EXPECT_EQ(t.f->C("bo_but", 2).tooltip, "静音");
    EXPECT_EQ(t.f->C("bo_but", 2).frame, soundOn);
  }
}

TEST(Buttons, FullScreenOnlyWhilePlaying) {
  for (int state : {0, 1, 2, 3, 4, 7}) {
    PlayerFixture t;
    t.player.url = "/m/a.mp4";
    t.player.state = state;
    t.Player().bo_but_Click(3);
    EXPECT_EQ(t.player.fullScreen, state == 3) << state;
    EXPECT_EQ(t.f->CurrentView, state == 3 ? 9 : 8) << state;
  }
}

TEST(Buttons, OpenFileStopsTheItemBeforeAndListsTheNewOne) {
  PlayerFixture t;
  t.dir.Write("date_f.dat", "old.mp4|/m/old.mp4|0\r\n");
  t.Player().l_com("/m/old.mp4");
  t.Play(40);
  t.State().episodes.NextEpisodePage = state::NextEpisode::FromText("eeqvod://qvod&&&x");  // left by a series episode
  const std::string name = "一二三四五六七八九十一二三四五六.mkv";
  t.Open("/v/" + name);
  EXPECT_EQ(t.dialogs.opened.back(), (std::pair<std::string, std::string>{"选择播放文件", player::kOpenFileFilter}));
  EXPECT_EQ(t.dir.Read("date_f.dat"), name + "|/v/" + name + "|0\r\nold.mp4|/m/old.mp4|40\r\n");
  EXPECT_EQ(t.player.url, "/v/" + name);
  EXPECT_EQ(t.f->C("bo_name").caption, TruncateToWidth(name, 30));
  EXPECT_NE(t.f->C("bo_name").caption, name);
  EXPECT_EQ(t.State().playback.CurrentItemKey, "/v/" + name);
  EXPECT_EQ(t.State().playback.PlaySource, 2);
  EXPECT_EQ(t.State().episodes.NextEpisodePage.ToText(), "0");
  EXPECT_EQ(t.State().playback.ResumePosition, 0);
  EXPECT_EQ(t.f->C("bo_but", 4).frame, (forms::Frame{16, 25, 0, 25, 24}));

  // Cancelled: the item playing goes on untouched.
  t.player.calls.clear();
  t.dialogs.file.reset();
  t.Player().bo_but_Click(4);
  EXPECT_TRUE(t.player.calls.empty());
  EXPECT_EQ(t.player.url, "/v/" + name);
}

TEST(Buttons, OpenFileInCompactModeRefreshesTheCompactTitle) {
  PlayerFixture t;
  t.f->npc_Click(15);
  t.Open("/v/short.mp4");
  EXPECT_EQ(t.f->C("ni_bo1").caption, "short.mp4");
  EXPECT_TRUE(t.f->C("ni_bo1").autoSize);
}

TEST(Buttons, PreviousAndNextAreDisabledWhileTheirRequestRuns) {
  PlayerFixture t;
  // A second click while the portal is asked reaches nothing, as on a disabled
  // button; the click after the answer does.
  t.State().episodes.CurrentEpisodeKey = "123-2-5-abc";
  t.http.waiting = [&](const std::string& url) { t.Click({"bo_but", url.back() == '4' ? 5 : 7}); };
  t.Click({"bo_but", 5});
  t.Click({"bo_but", 7});
  EXPECT_EQ(t.http.requests, (std::vector<std::string>{"http://127.0.0.1:9/soft/h.asp?id=123&v=2&v1=4",
                                                       "http://127.0.0.1:9/soft/h.asp?id=123&v=2&v1=6"}));
  EXPECT_TRUE(t.f->C("bo_but", 5).enabled);
  EXPECT_TRUE(t.f->C("bo_but", 7).enabled);
}

TEST(Buttons, ShutdownMenuAndSideBar) {
  PlayerFixture t;
  t.Player().bo_but_Click(6);
  EXPECT_EQ(t.menus.popups.back(), "guan@pointer");
  t.Player().bo_but_Click(8);
  EXPECT_EQ(t.f->C("npc", 6).tooltip, "显示侧栏");
  t.Player().bo_but_Click(9);
  t.Player().bo_but_Click(-1);
  EXPECT_EQ(t.menus.popups.size(), 1u);
}

TEST(Buttons, HoverFramesWithCapture) {
  struct Case {
    int index;
    const char* tooltip;
    forms::Frame hover, normal;
  };
  const Case cases[] = {
      {0, "播放", {12, 38, 0, 38, 33}, {12, 0, 0, 38, 33}},      {0, "暂停", {12, 114, 0, 38, 33}, {12, 76, 0, 38, 33}},
      {1, "停止", {13, 25, 0, 25, 24}, {13, 0, 0, 25, 24}},      {2, "静音", {14, 25, 0, 25, 24}, {14, 0, 0, 25, 24}},
      {2, "取消静音", {14, 75, 0, 25, 24}, {14, 50, 0, 25, 24}}, {3, "", {17, 50, 0, 25, 24}, {16, 50, 0, 25, 24}},
      {4, "", {17, 25, 0, 25, 24}, {16, 25, 0, 25, 24}},         {5, "", {18, 25, 0, 25, 24}, {18, 0, 0, 25, 24}},
      {7, "", {18, 75, 0, 25, 24}, {18, 50, 0, 25, 24}},         {8, "", {17, 75, 0, 25, 24}, {16, 75, 0, 25, 24}},
  };
  for (const Case& c : cases) {
    PlayerFixture t;
    auto& b = t.f->C("bo_but", c.index);
    if (*c.tooltip) b.tooltip = c.tooltip;
    t.Mouse(forms::InputEvent::MouseMove, b.key, 0, b.w, b.h);
    EXPECT_EQ(b.frame, c.hover) << c.index << c.tooltip;
    EXPECT_EQ(t.f->Capture, b.key);
    t.Mouse(forms::InputEvent::MouseMove, b.key, 0, b.w + 1, 3);
    EXPECT_EQ(b.frame, c.normal) << c.index << c.tooltip;
    EXPECT_FALSE(t.f->Capture);
    t.Player().bo_but_MouseMove(c.index, 0, 1, 1);
    t.Mouse(forms::InputEvent::Leave, b.key, 0);
    EXPECT_EQ(b.frame, c.normal);
  }
  PlayerFixture t;
  const forms::Frame before = t.f->C("bo_but", 6).frame;
  t.Player().bo_but_MouseMove(6, 0, 2, 2);
  EXPECT_EQ(t.f->C("bo_but", 6).frame, before);
}

}  // namespace
}  // namespace tavlin
