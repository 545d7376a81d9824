#pragma once
// Keeps the screen awake while a film plays: the desktop's idle actions are held
// off from the start of an item until it is paused, stopped or over, and when the
// program ends. One hold at a time.
#include "core/forms/form.h"
#include "platform/idle_inhibitor.h"
#include "platform/player_control.h"

namespace tavlin::desktop {

// States on the way to a picture or showing one: the desktop counts them as playing.
bool Running(int playState);

class KeepAwake {
 public:
  // endOfPlayback: Timer2, which handles the end of an item two seconds after it.
  KeepAwake(const forms::Timer& endOfPlayback, const PlayerControl* control, IdleInhibitor* inhibitor)
      : endOfPlayback_(endOfPlayback), control_(control), inhibitor_(inhibitor) {}
  KeepAwake(const KeepAwake&) = delete;
  KeepAwake& operator=(const KeepAwake&) = delete;

  // Reads the player again (after every event of the window): holds or releases.
  void Update();
  // The program ends.
  void Release();
  bool held() const { return held_; }

 private:
  bool Wanted() const;

  const forms::Timer& endOfPlayback_;
  const PlayerControl* control_;
  IdleInhibitor* inhibitor_;
  bool held_ = false;
  bool ended_ = false;
};

}  // namespace tavlin::desktop
