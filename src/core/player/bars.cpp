// The home-made seek bar (track gunt, download band huan, played part, thumb gunt1)
// and volume bar (track yin, fill bo_y, knob bo_v). Positions arrive in pixels of
// the track: the router adds the offset of the part pressed.
//
// A bar is held from a left press on any of its parts to the release: the thumb or
// knob follows the pointer meanwhile, with the point of it that was pressed (its
// middle for a press beside it) under the pointer, and the poll leaves a held thumb
// where the pointer put it. The release seeks to the time under the thumb.
#include <algorithm>

#include "core/base/config.h"
#include "core/base/text.h"
#include "core/player/player.h"

namespace tavlin::player {

void Player::PumpEvents() { ports_.application.PumpEvents(); }

// The thumb's travel; the layout keeps it positive, an unlaid window may not.
static int SeekRange(const shell::PlayerControls& f) { return f.gunt.w - f.gunt1.w; }
static int VolumeRange(const shell::PlayerControls& f) { return f.yin.w - f.bo_v.w; }

void Player::SeekTo(double target) {
  if (!control()) return;
  control()->SetPosition(RoundHalfEven(target));
  if (control()->Position() > control()->Duration()) control()->SetPosition(control()->Duration() - 2);
}

void Player::MoveThumb(int left) {
  auto& thumb = controls_.gunt1;
  thumb.x = std::clamp(left, 0, std::max(SeekRange(controls_), 0));
  controls_.played.Move(0, 0, thumb.x + thumb.w / 2, controls_.gunt.h);
}

int Player::TimeUnderThumb() const {
  const int range = SeekRange(controls_);
  if (range <= 0 || !control()) return 0;
  return RoundHalfEven(static_cast<double>(controls_.gunt1.x) / range * control()->Duration());
}

void Player::SeekBar_MouseDown(int button, int x, bool onThumb) {
  PumpEvents();
  if (button != forms::kLeftButton) return;
  const int w = controls_.gunt1.w;
  seekGrab_ = onThumb ? std::clamp(x - controls_.gunt1.x, 0, w) : w / 2;
  SeekBar_MouseMove(button, x);
}

void Player::SeekBar_MouseMove(int button, int x) {
  if (!seekGrab_) return;
  if (!(button & forms::kLeftButton)) {
    // The release went elsewhere (the window lost the pointer): let go without a seek.
    seekGrab_.reset();
    if (Loaded()) ShowPosition();
    return;
  }
  MoveThumb(x - *seekGrab_);
  if (!control()) return;
  const int mark = TimeUnderThumb();
  ShowTime(mark, control()->Duration());
  controls_.gunt1.tooltip = FormatDuration(mark);
}

void Player::SeekBar_MouseUp(int button) {
  (void)button;
  PumpEvents();
  if (!seekGrab_) return;
  seekGrab_.reset();
  if (SeekRange(controls_) <= 0 || !Loaded()) return;
  SeekTo(TimeUnderThumb());
  ShowPosition();
}

void Player::SeekBar_Wheel(int steps) {
  if (!Loaded() || seekGrab_ || steps == 0) return;
  PlayerControl& p = *control();
  int target = std::max(0, p.Position() + steps * kWheelSeekSeconds);
  if (p.Duration() > 0) target = std::min(target, p.Duration());
  SeekTo(target);
  ShowPosition();
}

void Player::ShowPosition() {
  const int position = control()->Position();
  const int duration = control()->Duration();
  PlaceThumb(position, duration);
  ShowTime(position, duration);
}

void Player::SoundOn() {
  controls_.bo_but[2].tooltip = "静音";
  PaintButton(2, Hovered(2));
  if (control()) control()->SetMute(false);
}

void Player::ShowVolume() {
  if (control()) mainWindow_.status.Show("音量：" + std::to_string(control()->Volume()) + "%");
}

void Player::SetKnob(int left) {
  controls_.bo_v.x = left;
  controls_.bo_y.w = left;
}

void Player::VolumeBar_MouseDown(int button, int x, bool onKnob) {
  PumpEvents();
  if (button != forms::kLeftButton) return;
  const int v = controls_.bo_v.w;
  volumeGrab_ = onKnob ? std::clamp(x - controls_.bo_v.x, 0, v) : v / 2;
  if (!onKnob) VolumeBar_MouseMove(button, x);
}

void Player::VolumeBar_MouseMove(int button, int x) {
  if (!volumeGrab_) return;
  if (!(button & forms::kLeftButton)) {
    VolumeBar_MouseUp(button);  // the release went elsewhere
    return;
  }
  const int range = VolumeRange(controls_);
  if (range <= 0) return;
  SoundOn();
  // Past either end the knob stays at that end: the whole range stays reachable
  // however fast the pointer moves.
  const int left = std::clamp(x - *volumeGrab_, 0, range);
  SetKnob(left);
  const int volume = Fix(static_cast<double>(left) / range * 100);
  if (control()) control()->SetVolume(volume);
  controls_.bo_v.tooltip = std::to_string(volume);
  ShowVolume();
}

void Player::VolumeBar_MouseUp(int button) {
  (void)button;
  if (!volumeGrab_) return;
  volumeGrab_.reset();
  KeepVolume();
}

void Player::VolumeBar_Wheel(int steps) {
  if (steps == 0) return;
  ChangeVolume(steps * kWheelVolumeStep);
}

void Player::KeepVolume() {
  if (!control()) return;
  const std::string volume = std::to_string(control()->Volume());
  if (ReadIni(mainWindow_.iniPath, ini_keys::kVolume, "") == volume) return;
  mainWindow_.surround.SaveSetting(ini_keys::kVolume, volume);
}

void Player::RestoreVolume() {
  int volume = 0;
  if (!ParseNumber(ReadIni(mainWindow_.iniPath, ini_keys::kVolume, ""), volume)) return;
  if (volume < 0 || volume > 100 || !control()) return;
  control()->SetVolume(volume);
  const int range = VolumeRange(controls_);
  if (range > 0) SetKnob(RoundHalfEven(static_cast<double>(range) * control()->Volume() / 100));
  controls_.bo_v.tooltip = std::to_string(control()->Volume());
}

}  // namespace tavlin::player
