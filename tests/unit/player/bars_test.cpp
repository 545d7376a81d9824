// Seek bar, volume bar and keys: the arithmetic of every press, drag and release.
#include <gtest/gtest.h>

#include "support/program_fixture.h"

namespace tavlin {
namespace {

using Input = forms::InputEvent;
using testing::PlayerFixture;

TEST(BarArithmetic, NearestIsHalfToEvenAndFixTruncates) {
  const std::pair<double, int> nearest[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {-0.5, 0}, {-1.5, -2}, {2.4999, 2}, {2.51, 3}, {-2.6, -3}};
  for (auto [v, r] : nearest) EXPECT_EQ(player::RoundHalfEven(v), r) << v;
  const std::pair<double, int> fix[] = {{98.33, 98}, {-2.7, -2}, {100.0, 100}, {0.99, 0}};
  for (auto [v, r] : fix) EXPECT_EQ(player::Fix(v), r) << v;
}

// The seek track laid out 613 pixels wide: the thumb (13) travels 600.
struct SeekFixture : PlayerFixture {
  SeekFixture(int duration) {
    player.url = "/m/a.mp4";
    player.duration = duration;
    f->C("gunt").w = 613;
  }
  std::string Release(const char* control, int pressButton, int releaseButton, int x) {
    player.calls.clear();
    Mouse(forms::InputEvent::MouseDown, {control, {}}, pressButton, x, 3);
    Mouse(forms::InputEvent::MouseUp, {control, {}}, releaseButton, x, 3);
    std::string out;
    for (const auto& c : player.calls) out += (out.empty() ? "" : " ") + c;
    return out;
  }
};

TEST(SeekBar, ReleasesSeekToTheThumbsMark) {
  struct Case {
    const char* control;
    int duration, press, release, x;
    bool clamp;
    const char* seeks;
  };
  const Case cases[] = {
      {"gunt", 1000, 1, 1, 300, true, "seek:500"},
      {"gunt", 1000, 1, 2, 300, true, "seek:500"},     // any button releases
      {"gunt", 1000, 2, 2, 300, true, "seek:0"},       // a right press does not move the thumb
      {"gunt", 100, 1, 1, 3, true, "seek:0"},          // 0.5 goes to the even 0
      {"gunt", 100, 1, 1, 9, true, "seek:2"},          // 1.5 goes to 2
      {"huan", 1000, 1, 1, 300, true, "seek:498"},     // the band seeks two seconds earlier
      {"gunt", 0, 1, 1, 300, true, "seek:0"},
      {"huan", 0, 1, 1, 300, false, "seek:-2"},
      {"gunt", 1000, 1, 1, 600, false, "seek:1000"},
      {"gunt", 1000, 1, 1, 610, false, "seek:1017 seek:998"},  // read back past the end
  };
  for (const Case& c : cases) {
    SeekFixture t(c.duration);
    t.player.clampSeeks = c.clamp;
    EXPECT_EQ(t.Release(c.control, c.press, c.release, c.x), c.seeks) << c.control << c.x;
  }
}

TEST(SeekBar, ThumbDragStaysOnTheTrackAndItsReleaseKeepsTheStartAtZero) {
  struct Case {
    int start, moveBy, left;
    const char* seek;
  };
  const Case cases[] = {{100, 50, 150, "seek:248"}, {10, -20, 0, "seek:0"}, {590, 30, 600, "seek:998"},
                        {0, 2, 2, "seek:3"},       {0, 3, 3, "seek:3"}};
  for (const Case& c : cases) {
    SeekFixture t(1000);
    t.f->C("gunt1").x = c.start;
    t.Mouse(forms::InputEvent::MouseMove, {"gunt1", {}}, 1, c.moveBy, 3);
    EXPECT_EQ(t.f->C("gunt1").x, c.left);
    t.Mouse(forms::InputEvent::MouseUp, {"gunt1", {}}, 1, 0, 0);
    EXPECT_EQ(t.player.calls.back(), c.seek) << c.start << "+" << c.moveBy;
  }
  SeekFixture t(1000);
  t.f->C("gunt1").x = 100;
  t.Player().gunt1_MouseMove(0, 50, 0);  // no button held: no drag
  EXPECT_EQ(t.f->C("gunt1").x, 100);
}

TEST(SeekBar, PendingEventsRunBeforeTheHandlerActs) {
  SeekFixture t(1000);
  std::vector<std::string> order;
  t.application.pumped = [&] { order.push_back("pump:" + std::to_string(t.f->C("gunt1").x)); };
  t.Player().gunt_MouseDown(1, 120, 0);
  EXPECT_EQ(order, std::vector<std::string>{"pump:0"});
}

// Volume track 70 wide with a 10-pixel knob: V - v = 60.
TEST(VolumeBar, KnobAndTrackSetTheVolume) {
  struct Case {
    const char* control;
    Input::Kind action;
    int knobBefore, x, knob, volume;
  };
  const Case cases[] = {
      {"yin", Input::MouseDown, 0, 60, 60, 100}, {"yin", Input::MouseDown, 0, 33, 33, 55},
      {"yin", Input::MouseDown, 0, 59, 59, 98},  {"yin", Input::MouseDown, 0, 75, 60, 100},
      {"bo_y", Input::MouseDown, 0, 30, 30, 50}, {"bo_v", Input::MouseMove, 30, 3, 33, 55},
      {"bo_v", Input::MouseMove, 58, 5, 58, 77},  // would pass the end: ignored
      {"bo_v", Input::MouseMove, 2, -3, 2, 77},
  };
  for (const Case& c : cases) {
    PlayerFixture t;
    t.f->C("yin").w = 70;
    t.player.volume = 77;
    t.f->C("bo_but", 2).tooltip = "取消静音";
    t.player.mute = true;
    t.f->C("bo_v").x = c.knobBefore;
    t.Mouse(c.action, {c.control, {}}, 1, c.x, 5);
    SCOPED_TRACE(std::string(c.control) + " " + std::to_string(c.x));
    EXPECT_EQ(t.f->C("bo_v").x, c.knob);
    EXPECT_EQ(t.player.volume, c.volume);
    if (c.knob != c.knobBefore) {
      EXPECT_EQ(t.f->C("bo_y").w, c.knob);
      EXPECT_EQ(t.Status(), "音量：" + std::to_string(c.volume) + "%");
    }
    EXPECT_EQ(t.f->C("bo_but", 2).tooltip, "静音");
    EXPECT_FALSE(t.player.mute);
  }
  PlayerFixture t;
  t.Mouse(forms::InputEvent::MouseMove, {"bo_v", {}}, 1, -5, 0);
  t.Mouse(forms::InputEvent::MouseMove, {"bo_v", {}}, 1, -5, 0);
  EXPECT_EQ(t.f->C("bo_v").tooltip, "85");  // designed track: V - v = 70
  EXPECT_EQ(t.f->C("bo_y").w, 60);
}

struct KeyFixture : PlayerFixture {
  KeyFixture() {
    player.url = "/m/a.mp4";
    player.state = kStatePlaying;
    player.duration = 100;
    player.clampSeeks = false;
    f->npc_Click(9);
    f->C("gunt").w = 613;
  }
};

TEST(Keys, ArrowsSeekAndChangeTheVolume) {
  struct Case {
    int key, position, volume;
    const char* calls;
    const char* times;
    int volumeAfter;
  };
  const Case cases[] = {
      {forms::kKeyLeft, 50, 50, "seek:40", "00:40 / 01:40", 50},
      {forms::kKeyLeft, 5, 50, "seek:-5 seek:0", "00:00 / 01:40", 50},
      {forms::kKeyLeft, 0, 50, "", "", 50},
      {forms::kKeyRight, 50, 50, "seek:60", "01:00 / 01:40", 50},
      {forms::kKeyRight, 95, 50, "seek:105 seek:98", "01:38 / 01:40", 50},
      {forms::kKeyRight, 0, 50, "", "", 50},
      {forms::kKeyUp, 50, 95, "volume:105", "", 100},
      {forms::kKeyDown, 50, 5, "volume:-5", "", 0},
      {65, 50, 50, "", "", 50},
  };
  for (const Case& c : cases) {
    KeyFixture t;
    t.player.position = c.position;
    t.player.volume = c.volume;
    t.f->C("times").caption = "";
    t.f->T("Timer1").SetEnabled(false);
    t.Key(c.key);
    std::string calls;
    for (const auto& s : t.player.calls) calls += (calls.empty() ? "" : " ") + s;
    SCOPED_TRACE(std::to_string(c.key) + "@" + std::to_string(c.position));
    EXPECT_EQ(calls, c.calls);
    EXPECT_EQ(t.f->C("times").caption, c.times);
    EXPECT_EQ(t.player.volume, c.volumeAfter);
    EXPECT_TRUE(t.f->T("Timer1").enabled());
    if (c.key == forms::kKeyUp || c.key == forms::kKeyDown) {
      EXPECT_EQ(t.Status(), "音量：" + std::to_string(c.volumeAfter) + "%");
      EXPECT_EQ(t.f->C("bo_v").x, 70 * c.volumeAfter / 100);
    }
    if (*c.times) EXPECT_EQ(t.f->C("gunt1").x, player::RoundHalfEven(t.player.position / 100.0 * 600));
  }
}

TEST(Keys, SpaceTogglesAndAVolumeKeyEndsMuting) {
  KeyFixture t;
  t.f->C("bo_but", 0).tooltip = "暂停";
  t.Key(forms::kKeySpace);
  EXPECT_EQ(t.PlayTip(), "播放");
  t.Player().bo_but_Click(2);
  t.Key(forms::kKeyUp);
  EXPECT_EQ(t.f->C("bo_but", 2).tooltip, "静音");
  EXPECT_FALSE(t.player.mute);
  t.Player().bo_but_Click(2);
  EXPECT_TRUE(t.player.mute);
}

TEST(Keys, NothingWhileThePlayerAreaIsNotOnScreen) {
  for (int view : {8, 13}) {
    KeyFixture t;
    t.f->npc_Click(view);  // leaving for a section stops the item
    t.player.calls.clear();
    t.f->T("Timer1").SetEnabled(false);
    t.player.position = 50;
    for (int key : {forms::kKeySpace, forms::kKeyLeft, forms::kKeyUp}) t.Key(key);
    EXPECT_TRUE(t.player.calls.empty()) << view;
    EXPECT_FALSE(t.f->T("Timer1").enabled()) << view;
  }
}

}  // namespace
}  // namespace tavlin
