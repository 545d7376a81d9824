#include "core/player/play_state.h"

namespace tavlin::player {

PlayStateCode MapPlayState(const PlayerSnapshot& s) {
  if (!s.has_url) return kStateIdle;
  if (s.stop_pending) return kStateStopping;
  if (s.stopped) return kStateStopped;
  if (s.load_failed) return kStateIdle;
  if (s.download_retrying) return kStateReconnecting;
  if (s.download_waiting) return kStateConnecting;
  if (s.loading) return s.remote ? kStateConnecting : kStatePreparing;
  if (s.eof_reached) return kStateIdle;
  if (s.idle_active) return kStateWaiting;
  if (s.pause) return kStatePaused;
  if (s.paused_for_cache || s.seeking) return kStateBuffering;
  return kStatePlaying;
}

}  // namespace tavlin::player
