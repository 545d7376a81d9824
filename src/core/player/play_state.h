#pragma once
// The one place where the stand-in's condition becomes a PlayStateCode.
#include "platform/player_control.h"

namespace tavlin::player {

// What the stand-in knows at one moment: its own bookkeeping plus mpv's properties.
struct PlayerSnapshot {
  bool has_url = false;            // Url was written with an accepted address
  bool stopped = false;            // Stop was called and Play not since
  bool stop_pending = false;       // Stop issued, mpv has not gone idle yet
  bool download_waiting = false;   // qvod item: no bytes on disk yet
  bool download_retrying = false;  // qvod item: the transfer failed and is retried
  bool remote = false;             // http(s) stream or qvod download in progress
  bool loading = false;            // loadfile issued, file-loaded not seen yet
  bool load_failed = false;        // mpv ended the file with an error
  bool idle_active = false;        // mpv has no file
  bool eof_reached = false;        // keep-open held the last frame at the end
  bool pause = false;              // mpv's pause property
  bool paused_for_cache = false;   // mpv waits for data
  bool seeking = false;            // a seek has not landed yet
};

// Codes, first match wins:
//   no address                          0 idle
//   Stop issued, mpv not idle yet       11 stopping
//   stopped (Url kept)                  1 stopped
//   failed to load                      0 finished (nothing to play)
//   qvod transfer being retried         8 reconnecting
//   qvod item, no byte arrived yet      10 connecting
//   loadfile sent, not loaded yet       10 connecting (remote) / 7 preparing (local)
//   end of the item (keep-open)         0 finished: the poll then shows "播放完毕"
//                                         consistently with its end handling
//   paused by the user                  2 paused
//   waiting for data / seeking          4 buffering
//   mpv idle with an address kept       5 waiting (Play will load it again)
//   otherwise                           3 playing
// 6 (over) and 9 (torrent) are never reported: nothing in mpv corresponds to them.
PlayStateCode MapPlayState(const PlayerSnapshot& s);

}  // namespace tavlin::player
