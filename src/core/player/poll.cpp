// The once-a-second status poll (Timer1) and the end-of-playback handling (Timer2).
// The player raises no events the window listens to: everything shown about
// playback is copied from it here.
#include <cmath>

#include "core/base/config.h"
#include "core/base/text.h"
#include "core/player/player.h"
#include "core/services/shutdown.h"
#include "core/shell/tray_icon.h"

namespace tavlin::player {

namespace {
const char* StatusOf(int state) {
  switch (state) {
    case kStateIdle: return "播放完毕";
    case kStateStopped: return "已停止";
    case kStatePaused: return "已暂停";
    case kStateWaiting: return "等待中";
    case kStateOver: return "播放结束";
    case kStatePreparing: return "准备读";
    case kStateReconnecting: return "重连中";
    case kStateFetchingTorrent: return "BT种子下载中";
    case kStateStopping: return "正在停止";
    default: return nullptr;
  }
}
}  // namespace

int RoundHalfEven(double value) {
  if (!std::isfinite(value)) return 0;
  const double lower = std::floor(value);
  const double diff = value - lower;
  double r = lower;
  if (diff > 0.5 || (diff == 0.5 && std::fmod(lower, 2.0) != 0.0)) r = lower + 1;
  return static_cast<int>(r);
}

int Fix(double value) { return std::isfinite(value) ? static_cast<int>(std::trunc(value)) : 0; }

void Player::Balloon(const std::string& text) { mainWindow_.tray.ShowTrayBalloon(text); }

bool Player::BalloonsOn() {
  playback_.BalloonSetting = ReadIni(mainWindow_.iniPath, ini_keys::kBalloons);
  return ToNumber(playback_.BalloonSetting) == 2;
}

bool Player::ShutdownArmed() const { return controls_.bo_but[6].tooltip.find("已开启") != std::string::npos; }

void Player::PlaceThumb(int position, int duration) {
  // A held thumb shows where the pointer is, not where the item is.
  if (seekGrab_) return;
  if (duration == 0) {
    MoveThumb(0);
    return;
  }
  const int range = controls_.gunt.w - controls_.gunt1.w;
  MoveThumb(RoundHalfEven(static_cast<double>(position) / duration * range));
}

void Player::ShowTime(int position, int duration) {
  auto& times = controls_.times;
  times.SetCaption(FormatDuration(position) + " / " + FormatDuration(duration));
  // Its right edge stays at the player area's, whatever the width of its text.
  times.Move(controls_.qvod.w - times.w - 13, 2);
}

void Player::ShowPlayTip(const char* tip) {
  // The picture says what the tool tip says: a click does what both show.
  controls_.bo_but[0].tooltip = tip;
  PaintButton(0, Hovered(0));
}

// The poll, step by step. A step that ends the tick early says so by its result.
void Player::Timer1_Timer() {
  if (!Loaded()) {
    ShowNothingLoaded();
    return;
  }
  PlayerControl& p = *control();
  SettlePollBeat(p);
  if (!TrackEnd(p)) return;
  playback_.DownloadRate = p.DownloadSpeed();
  BufferNextEpisode(p);
  playback_.LastPlayState = p.PlayState();
  if (playback_.LastPlayState == kStatePlaying) {
    ShowPlaying(p);
  } else {
    controls_.bo_ad.visible = true;
    controls_.QvodC.visible = false;
  }
  ShowPlayState(playback_.LastPlayState);
  if (p.OpenFailed()) ReportOpenFailure();
  ShowProgress(p);
}

void Player::ShowNothingLoaded() {
  ShowPlayTip("播放");
  mainWindow_.status.Show("准备就绪");
  controls_.huan.x = -30;
}

void Player::SettlePollBeat(PlayerControl& p) {
  // Back to the one-second beat once the item plays (or has had its chance to).
  if (controls_.Timer1.interval() != kPollMs &&
      (p.PlayState() == kStatePlaying || ++startingTicks_ * kStartingPollMs >= 5 * kPollMs)) {
    controls_.Timer1.SetInterval(kPollMs);
  }
}

bool Player::TrackEnd(PlayerControl& p) {
  const int position = p.Position();
  const int duration = p.Duration();
  const bool nearEnd = position > duration - 2 && position > 0;
  if (endPosition_ && *endPosition_ != position) endPosition_.reset();
  // Once the end was handled, a player that stays at the end (ours does) must not
  // start the end handling over and over, nor lose the position it left for a stop.
  if (nearEnd && endPosition_) return true;
  playback_.PlayPosition = position;
  if (!nearEnd) return true;
  // The last two seconds are seen by two ticks: the end is announced at the first,
  // when the end handling is armed, not once a second.
  const bool announced = controls_.Timer2.enabled();
  controls_.Timer2.SetEnabled(true);
  // Without balloons the tick ends here, before anything else is refreshed.
  if (!BalloonsOn()) return false;
  if (announced) return true;
  if (ShutdownArmed()) {
    Balloon("即将播放完毕，正准备自动关机！");
  } else if (episodes_.NextEpisodePage.known()) {
    Balloon("正在准备播放下一集！");
  }
  return true;
}

void Player::BufferNextEpisode(PlayerControl& p) {
  const state::NextEpisode& next = episodes_.NextEpisodeUrl;
  if (p.DownloadProgress() <= 601 || next.stage() == state::NextEpisode::Stage::NoneLeft ||
      episodes_.NextPrefetchStarted != 0) {
    return;
  }
  if (!next.known()) {
    ports_.episodes.ResolveNextEpisode();
    return;
  }
  p.PrepareNext(next.value());
  episodes_.NextPrefetchStarted = 1;
  if (BalloonsOn()) Balloon("开始缓冲下一集！");
}

void Player::ShowPlaying(PlayerControl& p) {
  if (playback_.ResumePosition > 0 && playback_.ResumeApplied == 0) {
    if (p.Position() < playback_.ResumePosition) p.SetPosition(playback_.ResumePosition);
    playback_.ResumeApplied = 1;
  }
  controls_.bo_ad.visible = false;
  controls_.QvodC.visible = true;
  // From now on it follows the item, so that a start again through button 0 returns here.
  playback_.ResumePosition = p.Position();
  KeepPosition(playback_.ResumePosition);
  controls_.next_s.visible = false;
  ShowPlayTip("暂停");
  if (playback_.DownloadRate < 1 || p.Position() <= 6) {
    mainWindow_.status.Show("播放中(" + std::to_string(p.BitRate()) + " Kbps)");
  } else {
    mainWindow_.status.Show("播放中(" + std::to_string(playback_.DownloadRate) + " Kbps/S)");
  }
}

void Player::ShowPlayState(int state) {
  switch (state) {
    case kStateIdle:
    case kStateStopped:
    case kStatePaused:
      mainWindow_.status.Show(StatusOf(state));
      ShowPlayTip("播放");
      break;
    case kStateBuffering:
      mainWindow_.status.Show("正在缓冲 (" + std::to_string(playback_.DownloadRate) + "Kbps/S)");
      break;
    case kStateConnecting:
      mainWindow_.status.Show("正在连接 (" + std::to_string(playback_.DownloadRate) + "KB/S)");
      break;
    default:
      if (const char* text = StatusOf(state)) mainWindow_.status.Show(text);
      break;
  }
}

void Player::ShowProgress(PlayerControl& p) {
  const int now = p.Position();
  const int length = p.Duration();
  if (!seekGrab_) {
    ShowTime(now, length);
    PlaceThumb(now, length);
    controls_.gunt1.tooltip = FormatDuration(now);
  }
  auto& band = controls_.huan;
  const int progress = p.DownloadProgress();
  if (progress > 0) {
    const auto& track = controls_.gunt;
    band.Move(0, 0, RoundHalfEven(static_cast<double>(track.w) * progress / 1000), track.h);
  } else {
    band.x = -30;
    band.w = 0;
  }
}

void Player::ReportOpenFailure() {
  // The player reads such an item as finished; "播放完毕" would tell the user that
  // a film played which never did.
  mainWindow_.status.Show(kOpenFailedStatus);
  if (openFailureReported_) return;
  openFailureReported_ = true;
  if (playback_.PlaySource == 2) {
    Balloon("无法打开要播放的文件：" + control()->Url());
  } else {
    Balloon("无法打开“" + mainWindow_.title.Text() + "”，请检查网络连接后重试！");
  }
}

void Player::Timer2_Timer() {
  controls_.bo_ad.visible = true;
  controls_.QvodC.visible = false;
  mainWindow_.status.Show("播放完毕");
  controls_.Timer2.SetEnabled(false);
  if (control()) endPosition_ = control()->Position();

  if (ShutdownArmed()) {
    controls_.Timer1.SetEnabled(false);
    ShutDownSystem(ports_.power, true);
    return;
  }

  playback_.ResumePosition = 1;
  playback_.PlayPosition = 1;
  const state::NextEpisode& next = episodes_.NextEpisodePage;
  if (next.stage() == state::NextEpisode::Stage::Failed) {
    ports_.views.Navigate2("Web2", kNextEpisodeMarker);
  } else if (next.known()) {
    controls_.Timer1.SetEnabled(false);
    controls_.next_s.visible = true;
    ports_.views.Navigate2("Web2", kNextEpisodeMarker);
  }
}

}  // namespace tavlin::player
