// The keys of the player area: space pauses and resumes, left/right seek 10 s,
// up/down change the volume by 10. The window sees every key before its children.
#include "core/base/text.h"
#include "core/player/player.h"

namespace tavlin::player {

void Player::Form_KeyDown(int keyCode, int shift) {
  (void)shift;
  // Keys act only while the player area is on screen: not behind another view, nor
  // while the item is shown as a page.
  if (!mainWindow_.surround.PictureShown()) return;
  PumpEvents();
  switch (keyCode) {
    case forms::kKeySpace: PlayPause(); break;
    case forms::kKeyLeft: SeekBack(); break;
    case forms::kKeyUp: ChangeVolume(10); break;
    case forms::kKeyRight: SeekForward(); break;
    case forms::kKeyDown: ChangeVolume(-10); break;
    default: break;
  }
  controls_.Timer1.SetEnabled(true);
}

void Player::SeekBack() {
  controls_.Timer1.SetEnabled(false);
  if (!control() || control()->Position() <= 0) return;
  PlayerControl& p = *control();
  p.SetPosition(p.Position() - 10);
  if (p.Position() < 0) p.SetPosition(0);
  if (p.Duration() != 0) PlaceThumb(p.Position(), p.Duration());
  ShowTime(p.Position(), p.Duration());
}

void Player::SeekForward() {
  controls_.Timer1.SetEnabled(false);
  if (!control() || control()->Position() <= 0) return;
  PlayerControl& p = *control();
  p.SetPosition(p.Position() + 10);
  PumpEvents();
  if (p.Position() > p.Duration()) p.SetPosition(p.Duration() - 2);
  if (p.Duration() != 0) PlaceThumb(p.Position(), p.Duration());
  ShowTime(p.Position(), p.Duration());
}

void Player::SetVolume(int percent) {
  if (control()) ChangeVolume(percent - control()->Volume());
}

void Player::ChangeVolume(int delta) {
  SoundOn();
  if (!control()) return;
  // No bound here: the player keeps the volume within 0 to 100.
  control()->SetVolume(control()->Volume() + delta);
  ShowVolume();
  const int range = controls_.yin.w - controls_.bo_v.w;
  SetKnob(RoundHalfEven(static_cast<double>(range) * control()->Volume() / 100));
  controls_.bo_v.tooltip = std::to_string(control()->Volume());
  KeepVolume();
}

}  // namespace tavlin::player
