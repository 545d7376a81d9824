// The screen kept awake on the whole program: held from the start of an item to
// its pause, stop, end or the exit, one hold at a time, whatever the window does.
#include <gtest/gtest.h>

#include "support/program_fixture.h"

namespace tavlin {
namespace {

using testing::PlayerFixture;
using Calls = std::vector<std::string>;

struct Awake : PlayerFixture {
  // After every event the window settles and the program looks again.
  void Settle() { program->keepAwake().Update(); }
  void Seconds(int n) {
    for (int i = 0; i < n; ++i) {
      Play(1);
      Settle();
    }
  }
  const Calls& Calls() const { return idle.calls; }
};

TEST(KeepAwake, HeldWhilePlayingReleasedOnPauseStopEndAndExitOneHoldAtATime) {
  Awake t;
  t.Seconds(3);
  EXPECT_EQ(t.Calls(), Calls{}) << "nothing loaded";

  t.player.duration = 30;
  t.Open("/m/a.mp4");
  t.Settle();
  EXPECT_EQ(t.Calls(), Calls{"hold"}) << "opening is on the way to a picture";
  t.Seconds(5);
  t.player.state = kStateBuffering;  // a stall mid-film keeps it
  t.Settle();
  t.player.state = kStatePlaying;
  t.Key(39);  // a seek by key
  t.Settle();
  EXPECT_EQ(t.Calls(), Calls{"hold"});

  t.Player().bo_but_Click(0);  // pause
  t.Settle();
  t.Seconds(2);
  EXPECT_EQ(t.Calls(), (Calls{"hold", "release"}));
  t.Player().bo_but_Click(0);  // on again
  t.Settle();
  t.Player().bo_but_Click(1);  // stop
  t.Settle();
  EXPECT_EQ(t.Calls(), (Calls{"hold", "release", "hold", "release"}));

  // To the end: held through the two seconds of the end handling, then let go.
  t.Player().bo_but_Click(0);
  t.Settle();
  t.Seconds(40);
  EXPECT_EQ(t.Status(), "播放完毕");
  EXPECT_EQ(t.Calls(), (Calls{"hold", "release", "hold", "release", "hold", "release"}));

  // Exit while playing: released, and nothing holds again afterwards.
  t.Open("/m/b.mp4");
  t.Settle();
  t.Seconds(2);
  t.program->ttt_v();
  t.Settle();
  t.player.state = kStatePlaying;
  t.Settle();
  EXPECT_EQ(t.Calls(), (Calls{"hold", "release", "hold", "release", "hold", "release", "hold", "release"}));
}

TEST(KeepAwake, AnEpisodeChangeKeepsTheHoldAndAFailedStartLetsGo) {
  Awake t;
  t.player.duration = 10;
  t.Open("/m/a.mp4");
  t.Settle();
  t.Seconds(9);
  // The next item is opened while the end handling runs: no gap in between.
  t.Open("/m/b.mp4");
  t.Settle();
  t.Seconds(3);
  EXPECT_EQ(t.Calls(), Calls{"hold"});

  t.player.state = kStateIdle;  // the player gives up on it
  t.Settle();
  EXPECT_EQ(t.Calls(), (Calls{"hold", "release"}));
}

}  // namespace
}  // namespace tavlin
