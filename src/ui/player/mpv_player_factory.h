#pragma once
#include "platform/player_control.h"

namespace tavlin {

// The start-up test: is the player (libmpv) installed on this machine?
class MpvPlayerFactory final : public PlayerFactory {
 public:
  bool CanCreate() override;
};

}  // namespace tavlin
