#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "core/player/play_state.h"

namespace tavlin::player {
namespace {

// One step of an item's life: what changed in the stand-in and mpv, and the code
// the poll must then read. Steps build on each other, as the flags do in the player.
struct Step {
  const char* what;
  std::function<void(PlayerSnapshot&)> change;
  PlayStateCode expected;
};

void Walk(const std::vector<Step>& steps) {
  PlayerSnapshot s;
  for (const Step& step : steps) {
    step.change(s);
    EXPECT_EQ(MapPlayState(s), step.expected) << step.what;
  }
}

TEST(PlayStateMapping, ALocalFileFromOpeningThroughPausesSeeksAndTheEndToAStopAndAReplay) {
  Walk({
      {"nothing written yet", [](auto&) {}, kStateIdle},
      {"Url written, loadfile sent",
       [](auto& s) {
         s.has_url = true;
         s.loading = true;
       },
       kStatePreparing},
      {"file-loaded", [](auto& s) { s.loading = false; }, kStatePlaying},
      {"the user pauses", [](auto& s) { s.pause = true; }, kStatePaused},
      {"a seek while paused stays paused", [](auto& s) { s.seeking = true; }, kStatePaused},
      {"resumed before the seek landed", [](auto& s) { s.pause = false; }, kStateBuffering},
      {"the seek landed", [](auto& s) { s.seeking = false; }, kStatePlaying},
      {"out of data", [](auto& s) { s.paused_for_cache = true; }, kStateBuffering},
      {"data again", [](auto& s) { s.paused_for_cache = false; }, kStatePlaying},
      // keep-open holds the last frame paused: that reads as finished, not paused.
      {"end of the item",
       [](auto& s) {
         s.eof_reached = true;
         s.pause = true;
       },
       kStateIdle},
      {"Stop, mpv not idle yet",
       [](auto& s) {
         s.stopped = true;
         s.stop_pending = true;
       },
       kStateStopping},
      // The cached end flag may still be set: stopped wins over it.
      {"mpv idle",
       [](auto& s) {
         s.stop_pending = false;
         s.idle_active = true;
       },
       kStateStopped},
      {"stopped, the old end flag alone left",
       [](auto& s) {
         s.idle_active = false;
         s.pause = false;
       },
       kStateStopped},
      {"Play loads it again",
       [](auto& s) {
         s.stopped = false;
         s.eof_reached = false;
         s.loading = true;
       },
       kStatePreparing},
  });
}

TEST(PlayStateMapping, AStreamConnectsPlaysAndFallsIdleOrFails) {
  Walk({
      {"Url written, the stream opening",
       [](auto& s) {
         s.has_url = true;
         s.remote = true;
         s.loading = true;
       },
       kStateConnecting},
      {"file-loaded", [](auto& s) { s.loading = false; }, kStatePlaying},
      {"mpv dropped the file, the address kept", [](auto& s) { s.idle_active = true; }, kStateWaiting},
      {"Play again: opening",
       [](auto& s) {
         s.idle_active = false;
         s.loading = true;
       },
       kStateConnecting},
      // A failure is not a wait: the poll tells the user it could not open.
      {"the open failed",
       [](auto& s) {
         s.loading = false;
         s.load_failed = true;
         s.idle_active = true;
       },
       kStateIdle},
  });
}

TEST(PlayStateMapping, AQvodDownloadWaitsForItsFirstBytesThroughARetry) {
  Walk({
      {"qvod item, nothing on disk",
       [](auto& s) {
         s.has_url = true;
         s.remote = true;
         s.loading = true;
         s.download_waiting = true;
       },
       kStateConnecting},
      {"the transfer failed and is retried", [](auto& s) { s.download_retrying = true; }, kStateReconnecting},
      {"bytes arrive",
       [](auto& s) {
         s.download_retrying = false;
         s.download_waiting = false;
       },
       kStateConnecting},
      {"file-loaded", [](auto& s) { s.loading = false; }, kStatePlaying},
  });
  PlayerSnapshot retriedLocal;  // a retry shows even before the item counts as remote
  retriedLocal.has_url = true;
  retriedLocal.loading = true;
  retriedLocal.download_retrying = true;
  EXPECT_EQ(MapPlayState(retriedLocal), kStateReconnecting);
}

// Every one of the 2^13 combinations of the flags, including ones the player never
// makes: what must hold whatever the order of the checks.
TEST(PlayStateMapping, InvariantsOverEveryCombination) {
  using P = PlayerSnapshot;
  bool P::*const flags[] = {
      &P::has_url, &P::stopped,          &P::stop_pending, &P::download_waiting, &P::download_retrying,
      &P::remote,  &P::loading,          &P::load_failed,  &P::idle_active,      &P::eof_reached,
      &P::pause,   &P::paused_for_cache, &P::seeking};
  static_assert(sizeof(P) == sizeof flags / sizeof flags[0] * sizeof(bool), "every flag of the snapshot");
  std::set<int> seen;
  for (unsigned bits = 0; bits < (1u << 13); ++bits) {
    PlayerSnapshot s;
    for (unsigned i = 0; i < 13; ++i) s.*flags[i] = (bits >> i & 1u) != 0;
    const int code = MapPlayState(s);
    seen.insert(code);
    SCOPED_TRACE(bits);
    // Nothing in mpv is "over" or "fetching a torrent".
    ASSERT_NE(code, kStateOver);
    ASSERT_NE(code, kStateFetchingTorrent);
    if (!s.has_url) ASSERT_EQ(code, kStateIdle);
    if (s.has_url && s.stop_pending) ASSERT_EQ(code, kStateStopping);
    // A user's pause never reads as playing or buffering.
    if (s.pause) ASSERT_TRUE(code != kStatePlaying && code != kStateBuffering);
    // Playing means nothing else is going on.
    const bool quiet = !s.stopped && !s.stop_pending && !s.download_waiting && !s.download_retrying && !s.loading &&
                       !s.load_failed && !s.idle_active && !s.eof_reached && !s.pause && !s.paused_for_cache &&
                       !s.seeking;
    ASSERT_EQ(code == kStatePlaying, s.has_url && quiet);
    // Only a Stop makes stopped or stopping; only a retry makes reconnecting.
    if (code == kStateStopped || code == kStateStopping) ASSERT_TRUE(s.stopped || s.stop_pending);
    if (code == kStateReconnecting) ASSERT_TRUE(s.download_retrying);
  }
  // Every other code is reachable.
  EXPECT_EQ(seen, (std::set<int>{kStateIdle, kStateStopped, kStatePaused, kStatePlaying, kStateBuffering, kStateWaiting,
                                 kStatePreparing, kStateReconnecting, kStateConnecting, kStateStopping}));
}

}  // namespace
}  // namespace tavlin::player
