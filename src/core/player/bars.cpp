// The home-made seek bar (track gunt, thumb gunt1, download band huan) and volume
// bar (track yin, knob bo_v, fill bo_y). Mouse positions arrive in pixels of the
// control pressed.
#include "core/player/player.h"

namespace tavlin::player {

void Player::PumpEvents() {
  ports_.application.PumpEvents();
}

// The thumb's travel; the layout keeps it positive, an unlaid window may not.
static int SeekRange(const shell::BA1& f) { return f.gunt.w - f.gunt1.w; }
static int VolumeRange(const shell::BA1& f) { return f.yin.w - f.bo_v.w; }

void Player::SeekTo(double target) {
  if (!control()) return;
  control()->SetPosition(RoundHalfEven(target));
  if (control()->Position() > control()->Duration()) control()->SetPosition(control()->Duration() - 2);
}

void Player::gunt_MouseDown(int button, int x, int y) {
  (void)y;
  PumpEvents();
  if (button != forms::kLeftButton) return;
  main_.gunt1.x = x;
}

void Player::gunt_MouseUp(int button, int x, int y) {
  (void)button, (void)x, (void)y;
  PumpEvents();
  const int range = SeekRange(main_);
  if (range <= 0 || !control()) return;
  SeekTo(static_cast<double>(main_.gunt1.x) / range * control()->Duration());
}

void Player::huan_MouseDown(int button, int x, int y) { gunt_MouseDown(button, x, y); }

void Player::huan_MouseUp(int button, int x, int y) {
  (void)button, (void)x, (void)y;
  PumpEvents();
  const int range = SeekRange(main_);
  if (range <= 0 || !control()) return;
  SeekTo(static_cast<double>(main_.gunt1.x) / range * control()->Duration() - 2);
}

void Player::gunt1_MouseMove(int button, int x, int y) {
  (void)y;
  PumpEvents();
  if (!(button & forms::kLeftButton)) return;
  auto& thumb = main_.gunt1;
  const int range = SeekRange(main_);
  thumb.x += x;
  if (thumb.x < 0) thumb.x = 0;
  if (thumb.x > range) thumb.x = range;
}

void Player::gunt1_MouseUp(int button, int x, int y) {
  (void)button, (void)x, (void)y;
  PumpEvents();
  const int range = SeekRange(main_);
  if (range <= 0 || !control()) return;
  const int left = main_.gunt1.x;
  const double mark = static_cast<double>(left) / range * control()->Duration();
  // A thumb at the very start seeks to 0, not before it.
  SeekTo(left > 2 ? mark - 2 : mark);
}

void Player::SoundOn() {
  main_.bo_but[2].tooltip = "静音";
  if (control()) control()->SetMute(false);
}

void Player::ShowVolume() {
  if (control()) main_.zhun.caption = "音量：" + std::to_string(control()->Volume()) + "%";
}

void Player::SetKnob(int left) {
  main_.bo_v.x = left;
  main_.bo_y.w = left;
}

void Player::yin_MouseDown(int button, int x, int y) {
  (void)y;
  PumpEvents();
  if (button != forms::kLeftButton) return;
  const int range = VolumeRange(main_);
  if (range <= 0) return;
  SoundOn();
  SetKnob(x <= range ? x : range);
  if (control()) control()->SetVolume(Fix(static_cast<double>(main_.bo_v.x) / range * 100));
  ShowVolume();
}

void Player::bo_y_MouseDown(int button, int x, int y) { yin_MouseDown(button, x, y); }

void Player::bo_v_MouseMove(int button, int x, int y) {
  (void)y;
  PumpEvents();
  if (!(button & forms::kLeftButton)) return;
  const int range = VolumeRange(main_);
  if (range <= 0) return;
  SoundOn();
  const int n = main_.bo_v.x + x;
  if (n < 0 || n > range) return;
  SetKnob(n);
  const int volume = Fix(static_cast<double>(n) / range * 100);
  if (control()) control()->SetVolume(volume);
  main_.bo_v.tooltip = std::to_string(volume);
  ShowVolume();
}

}  // namespace tavlin::player
