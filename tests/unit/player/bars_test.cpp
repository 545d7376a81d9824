// Seek bar, volume bar and keys: the arithmetic of every press, drag and release.
#include <gtest/gtest.h>

#include "support/program_fixture.h"

namespace tavlin {
namespace {

using Input = forms::InputEvent;
using testing::PlayerFixture;

TEST(BarArithmetic, NearestIsHalfToEvenAndFixTruncates) {
  const std::pair<double, int> nearest[] = {{0.5, 0},   {1.5, 2},    {2.5, 2},  {-0.5, 0},
                                            {-1.5, -2}, {2.4999, 2}, {2.51, 3}, {-2.6, -3}};
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
  void Down(const char* part, int x, int button = 1) { Mouse(Input::MouseDown, {part, {}}, button, x, 3); }
  void Drag(const char* part, int x) { Mouse(Input::MouseMove, {part, {}}, 1, x, 3); }
  void Up(const char* part, int button = 1) { Mouse(Input::MouseUp, {part, {}}, button, 0, 0); }
  std::string Calls() {
    std::string out;
    for (const auto& c : player.calls) out += (out.empty() ? "" : " ") + c;
    player.calls.clear();
    return out;
  }
  int Thumb() const { return f->C("gunt1").x; }
};

// The user grabs the bar beside the thumb while the item plays, drags for longer
// than a beat of the poll and lets go: the thumb and the time label follow the
// pointer the whole time, and the item goes where the thumb was let go.
TEST(SeekBar, AHeldThumbFollowsThePointerThroughThePollAndTheReleaseSeeksThere) {
  SeekFixture t(1000);
  t.player.state = kStatePlaying;
  t.player.position = 166;
  t.Play(1);
  EXPECT_EQ(t.Thumb(), 100);  // 167 s of 1000 on 600 pixels
  t.Down("gunt", 306);        // the thumb's middle goes under the pointer
  EXPECT_EQ(t.Thumb(), 300);
  EXPECT_EQ(t.f->C("times").caption, "08:20 / 16:40");
  t.Drag("gunt", 456);
  t.Play(3);
  EXPECT_EQ(t.Thumb(), 450);
  EXPECT_EQ(t.f->C("played").w, 456);  // the played part reaches the thumb's middle
  EXPECT_EQ(t.f->C("times").caption, "12:30 / 16:40");
  EXPECT_EQ(t.f->C("gunt1").tooltip, "12:30");
  t.Calls();
  t.Up("gunt");
  EXPECT_EQ(t.Calls(), "seek:750");
  EXPECT_EQ(t.f->C("times").caption, "12:30 / 16:40");
  t.Play(2);  // let go, the poll moves the thumb again
  EXPECT_EQ(t.f->C("times").caption, "12:32 / 16:40");
  EXPECT_EQ(t.Thumb(), 451);
}

TEST(SeekBar, APressOnTheThumbKeepsThePointPressedUnderThePointer) {
  SeekFixture t(1000);
  t.f->C("gunt1").x = 100;
  t.Down("gunt1", 2);  // two pixels into the thumb
  EXPECT_EQ(t.Thumb(), 100);
  t.Drag("gunt1", 202);  // still reported in the thumb's pixels
  EXPECT_EQ(t.Thumb(), 300);
  t.Drag("gunt1", 9000);  // far past the end: the thumb stops at it
  EXPECT_EQ(t.Thumb(), 600);
  t.Up("gunt1");
  EXPECT_EQ(t.Calls(), "seek:1000");
  t.Down("gunt1", 12);
  t.Drag("gunt1", -9000);
  t.Up("gunt1");
  EXPECT_EQ(t.Calls(), "seek:0");
}

TEST(SeekBar, EveryPartSeeksToThePointAndOnlyALeftPressHoldsTheBar) {
  struct Case {
    const char* part;
    int duration, press, x;
    const char* seeks;
  };
  const Case cases[] = {
      {"gunt", 1000, 1, 306, "seek:500"},
      {"huan", 1000, 1, 306, "seek:500"},    // the download band: no two seconds earlier
      {"played", 1000, 1, 306, "seek:500"},  // the played part
      {"gunt", 100, 1, 9, "seek:0"},         // 0.5 s goes to the even 0
      {"gunt", 100, 1, 15, "seek:2"},        // 1.5 s goes to 2
      {"gunt", 0, 1, 306, "seek:0"},         // nothing known of the length: the start
      {"gunt", 1000, 2, 306, ""},            // a right click neither moves nor seeks
  };
  for (const Case& c : cases) {
    SeekFixture t(c.duration);
    t.Down(c.part, c.x, c.press);
    t.Up(c.part, c.press);
    EXPECT_EQ(t.Calls(), c.seeks) << c.part << " " << c.x;
  }
  SeekFixture t(1000);
  t.f->C("gunt1").x = 100;
  t.Drag("gunt1", 50);  // a move with the button down that did not start on the bar
  t.Up("gunt1");
  EXPECT_EQ(t.Thumb(), 100);
  EXPECT_EQ(t.Calls(), "");
}

TEST(SeekBar, AReleaseThatNeverCameLetsGoWithoutASeek) {
  SeekFixture t(1000);
  t.player.state = kStatePlaying;
  t.player.position = 500;
  t.Down("gunt", 106);
  t.Mouse(Input::MouseMove, {"gunt", {}}, 0, 200, 3);  // the button is up: released elsewhere
  EXPECT_EQ(t.Calls(), "");
  EXPECT_EQ(t.Thumb(), 300);
  t.Play(1);  // the poll has the thumb again
  EXPECT_EQ(t.Thumb(), 301);
}

TEST(SeekBar, PendingEventsRunBeforeAPressActs) {
  SeekFixture t(1000);
  std::vector<std::string> order;
  t.application.pumped = [&] { order.push_back("pump:" + std::to_string(t.f->C("gunt1").x)); };
  t.Down("gunt", 126);
  EXPECT_EQ(order, std::vector<std::string>{"pump:0"});
  EXPECT_EQ(t.Thumb(), 120);
}

TEST(SeekBar, TheWheelJumpsTenSecondsAndNeverBeforeTheStart) {
  SeekFixture t(100);
  t.player.clampSeeks = true;
  t.player.position = 50;
  t.Raise(Input::WheelOn({"gunt", {}}, 1));
  EXPECT_EQ(t.Calls(), "seek:60");
  EXPECT_EQ(t.f->C("times").caption, "01:00 / 01:40");
  t.Raise(Input::WheelOn({"gunt1", {}}, -2));
  EXPECT_EQ(t.Calls(), "seek:40");
  t.player.position = 5;
  t.Raise(Input::WheelOn({"huan", {}}, -1));
  EXPECT_EQ(t.Calls(), "seek:0");
  t.player.position = 95;
  t.Raise(Input::WheelOn({"gunt", {}}, 1));
  EXPECT_EQ(t.Calls(), "seek:100");  // the end; the player holds it there
  t.player.url.clear();
  t.Raise(Input::WheelOn({"gunt", {}}, 1));
  EXPECT_EQ(t.Calls(), "");
}

// The volume track is 80 wide with a 10-pixel knob: V - v = 70.
struct VolumeFixture : PlayerFixture {
  VolumeFixture() {
    player.volume = 77;
    f->C("bo_but", 2).tooltip = "取消静音";
    player.mute = true;
  }
  int Knob() const { return f->C("bo_v").x; }
};

TEST(VolumeBar, AClickPutsTheKnobsMiddleUnderThePointerAndEndsMuting) {
  struct Case {
    const char* part;
    int x, knob, volume;
  };
  const Case cases[] = {
      {"yin", 40, 35, 50}, {"yin", 78, 70, 100}, {"yin", 76, 70, 100}, {"yin", 2, 0, 0}, {"bo_y", 31, 26, 37}};
  for (const Case& c : cases) {
    VolumeFixture t;
    t.Mouse(Input::MouseDown, {c.part, {}}, 1, c.x, 5);
    t.Mouse(Input::MouseUp, {c.part, {}}, 1, c.x, 5);
    SCOPED_TRACE(std::string(c.part) + " " + std::to_string(c.x));
    EXPECT_EQ(t.Knob(), c.knob);
    EXPECT_EQ(t.f->C("bo_y").w, c.knob);
    EXPECT_EQ(t.player.volume, c.volume);
    EXPECT_EQ(t.Status(), "音量：" + std::to_string(c.volume) + "%");
    EXPECT_EQ(t.f->C("bo_but", 2).tooltip, "静音");
    EXPECT_EQ(t.f->C("bo_but", 2).frame, (forms::Frame{14, 0, 0, 25, 24}));  // the speaker sounds again
    EXPECT_FALSE(t.player.mute);
  }
}

TEST(VolumeBar, ADragReachesBothEndsHoweverFarThePointerGoes) {
  VolumeFixture t;
  t.f->C("bo_v").x = 60;
  t.Mouse(Input::MouseDown, {"bo_v", {}}, 1, 5, 5);  // the knob's middle
  EXPECT_EQ(t.player.volume, 77);                    // a press on the knob alone changes nothing
  for (int x : {8, 12, 40}) t.Mouse(Input::MouseMove, {"bo_v", {}}, 1, x, 5);
  EXPECT_EQ(t.Knob(), 70);
  EXPECT_EQ(t.player.volume, 100);
  EXPECT_EQ(t.f->C("bo_v").tooltip, "100");
  t.Mouse(Input::MouseMove, {"bo_v", {}}, 1, -500, 5);
  EXPECT_EQ(t.Knob(), 0);
  EXPECT_EQ(t.player.volume, 0);
  t.Mouse(Input::MouseUp, {"bo_v", {}}, 1, 0, 5);
  t.Mouse(Input::MouseMove, {"bo_v", {}}, 1, 40, 5);  // released: moves do nothing
  EXPECT_EQ(t.Knob(), 0);
}

TEST(VolumeBar, TheWheelOverTheBarOrThePictureStepsByFive) {
  VolumeFixture t;
  for (const char* part : {"yin", "bo_v", "QvodC", "qvod", "bo_ad"}) t.Raise(Input::WheelOn({part, {}}, 1));
  EXPECT_EQ(t.player.volume, 100);  // 77 + 25, kept within 100 by the player
  t.Raise(Input::WheelOn({"adp", {}}, -3));
  EXPECT_EQ(t.player.volume, 85);
  EXPECT_EQ(t.Status(), "音量：85%");
  EXPECT_FALSE(t.player.mute);
  t.Raise(Input::WheelOn({"Web1", {}}, 1));  // elsewhere the wheel is the page's
  EXPECT_EQ(t.player.volume, 85);
}

TEST(VolumeBar, TheVolumeIsKeptAcrossStarts) {
  {
    VolumeFixture t;
    t.Mouse(Input::MouseDown, {"yin", {}}, 1, 40, 5);
    t.Mouse(Input::MouseMove, {"yin", {}}, 1, 64, 5);
    EXPECT_EQ(t.Ini("S_q", "vol"), "<missing>");  // not while dragging
    t.Mouse(Input::MouseUp, {"yin", {}}, 1, 64, 5);
    EXPECT_EQ(t.Ini("S_q", "vol"), "84");
    t.Key(forms::kKeyDown);  // keys change it too, but only where the player area is on screen
    t.f->npc_Click(9);
    t.Key(forms::kKeyDown);
    EXPECT_EQ(t.Ini("S_q", "vol"), "74");
  }
  struct Case {
    const char* stored;
    int volume, knob;
  };
  // The knob starts at the right end (volume 100) unless a usable volume was kept.
  const Case cases[] = {{"85", 85, 60}, {"0", 0, 0}, {"150", 100, 70}, {"-3", 100, 70}, {"loud", 100, 70}};
  for (const Case& c : cases) {
    PlayerFixture t;
    t.SetIni("S_q", "vol", c.stored);
    t.Make();
    t.program->Start("");
    EXPECT_EQ(t.player.volume, c.volume) << c.stored;
    EXPECT_EQ(t.f->C("bo_v").x, c.knob) << c.stored;
  }
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
  // thumb: where the seek bar's thumb lands (100 s on 600 pixels), -1 when no seek;
  // knob: where the volume knob lands (100 % on 70 pixels), -1 when the volume stays.
  struct Case {
    int key, position, volume;
    const char* calls;
    const char* times;
    int volumeAfter, thumb, knob;
  };
  const Case cases[] = {
      {forms::kKeyLeft, 50, 50, "seek:40", "00:40 / 01:40", 50, 240, -1},
      {forms::kKeyLeft, 5, 50, "seek:-5 seek:0", "00:00 / 01:40", 50, 0, -1},
      {forms::kKeyLeft, 0, 50, "", "", 50, -1, -1},
      {forms::kKeyRight, 50, 50, "seek:60", "01:00 / 01:40", 50, 360, -1},
      {forms::kKeyRight, 95, 50, "seek:105 seek:98", "01:38 / 01:40", 50, 588, -1},
      {forms::kKeyRight, 0, 50, "", "", 50, -1, -1},
      {forms::kKeyUp, 50, 95, "volume:105", "", 100, -1, 70},
      {forms::kKeyUp, 50, 40, "volume:50", "", 50, -1, 35},
      {forms::kKeyDown, 50, 5, "volume:-5", "", 0, -1, 0},
      {65, 50, 50, "", "", 50, -1, -1},
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
      EXPECT_EQ(t.f->C("bo_v").x, c.knob);
    }
    if (c.thumb >= 0) EXPECT_EQ(t.f->C("gunt1").x, c.thumb);
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
