#include "mpv_player_factory.h"

#include <mpv/client.h>

#include <cstdlib>

#include "ui/player/mpv_library.h"

namespace tavlin {

bool MpvPlayerFactory::CanCreate() {
  // A way to see the "player missing" path on a machine that has the player.
  if (const char* off = std::getenv("TAVLIN_NO_PLAYER"); off && *off == '1') return false;
  // Where the build found it, the library is only looked at: opening it costs 50 ms,
  // and a start without a media file opens it once the portal is on screen.
  if (MpvInstalled()) return true;
  // Elsewhere, the loader has to find it, and mpv has to start.
  if (!LoadMpv()) return false;
  mpv_handle* mpv = mpv_create();
  if (!mpv) return false;
  mpv_set_option_string(mpv, "config", "no");
  mpv_set_option_string(mpv, "vo", "null");
  mpv_set_option_string(mpv, "ao", "null");
  const bool ok = mpv_initialize(mpv) >= 0;
  mpv_terminate_destroy(mpv);
  return ok;
}

}  // namespace tavlin
