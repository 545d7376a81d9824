#include <gtest/gtest.h>

#include "core/player/play_state.h"

namespace tavlin::player {
namespace {

struct Case {
  const char* name;
  PlayerSnapshot snapshot;
  PlayStateCode expected;
};

PlayerSnapshot Loaded() {
  PlayerSnapshot s;
  s.has_url = true;
  return s;
}

template <typename F>
PlayerSnapshot With(F change) {
  PlayerSnapshot s = Loaded();
  change(s);
  return s;
}

TEST(PlayStateMapping, EachConditionGivesItsCodeAndPrecedenceHolds) {
  const Case cases[] = {
      {"nothing written", PlayerSnapshot{}, kStateIdle},
      {"nothing written, mpv idle", With([](auto& s) { s.has_url = false; s.idle_active = true; }), kStateIdle},
      {"playing", Loaded(), kStatePlaying},
      {"paused by the user", With([](auto& s) { s.pause = true; }), kStatePaused},
      {"waiting for data", With([](auto& s) { s.paused_for_cache = true; }), kStateBuffering},
      {"seeking", With([](auto& s) { s.seeking = true; }), kStateBuffering},
      {"paused while seeking stays paused", With([](auto& s) { s.pause = true; s.seeking = true; }), kStatePaused},
      {"end of item", With([](auto& s) { s.eof_reached = true; s.pause = true; }), kStateIdle},
      {"stopped", With([](auto& s) { s.stopped = true; s.idle_active = true; }), kStateStopped},
      {"stop not landed yet", With([](auto& s) { s.stopped = true; s.stop_pending = true; }), kStateStopping},
      {"stopped wins over an old end", With([](auto& s) { s.stopped = true; s.eof_reached = true; }), kStateStopped},
      {"local file opening", With([](auto& s) { s.loading = true; }), kStatePreparing},
      {"stream opening", With([](auto& s) { s.loading = true; s.remote = true; }), kStateConnecting},
      {"qvod, no byte yet", With([](auto& s) { s.loading = true; s.remote = true; s.download_waiting = true; }), kStateConnecting},
      {"qvod transfer retried", With([](auto& s) { s.loading = true; s.download_retrying = true; }), kStateReconnecting},
      {"failed to open", With([](auto& s) { s.load_failed = true; s.idle_active = true; }), kStateIdle},
      {"idle with an address", With([](auto& s) { s.idle_active = true; }), kStateWaiting},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MapPlayState(c.snapshot), c.expected) << c.name;
  }
}

}  // namespace
}  // namespace tavlin::player
