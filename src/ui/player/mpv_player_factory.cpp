#include "ui/player/mpv_player_factory.h"

#include "ui/player/mpv_session.h"

namespace tavlin {

bool MpvPlayerFactory::CanCreate() { return MpvSession::CanStart(); }

}  // namespace tavlin
