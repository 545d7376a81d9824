#include "core/desktop/keep_awake.h"

namespace tavlin::desktop {

bool Running(int playState) {
  switch (playState) {
    case kStatePlaying:
    case kStateBuffering:
    case kStateWaiting:
    case kStatePreparing:
    case kStateReconnecting:
    case kStateFetchingTorrent:
    case kStateConnecting: return true;
    default: return false;
  }
}

bool KeepAwake::Wanted() const {
  if (ended_ || !control_ || control_->Url().empty()) return false;
  // The end of an item is handled two seconds after the player stops at it (the
  // next episode, say): the screen stays awake across that change.
  return Running(control_->PlayState()) || endOfPlayback_.enabled();
}

void KeepAwake::Update() {
  if (!inhibitor_) return;
  const bool wanted = Wanted();
  if (wanted == held_) return;
  held_ = wanted;
  if (held_) {
    inhibitor_->Hold("正在播放影片");
  } else {
    inhibitor_->Release();
  }
}

void KeepAwake::Release() {
  ended_ = true;
  Update();
}

}  // namespace tavlin::desktop
