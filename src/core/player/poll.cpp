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
bool NextEpisodeKnown(const std::string& page) { return page != "1" && !page.empty() && page != "0" && page != "3"; }

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

void Player::Balloon(const std::string& text) {
  main_.trayIcon.ShowTrayBalloon(text);
}

bool Player::BalloonsOn() {
  playback_.BalloonSetting = ReadIni(main_.IniPath, "S_q", "s_pao", "0");
  return ToNumber(playback_.BalloonSetting) == 2;
}

bool Player::ShutdownArmed() const {
  return main_.bo_but[6].tooltip.find("已开启") != std::string::npos;
}

void Player::PlaceThumb(int position, int duration) {
  // A held thumb shows where the pointer is, not where the item is.
  if (seekGrab_) return;
  if (duration == 0) {
    MoveThumb(0);
    return;
  }
  const int range = main_.gunt.w - main_.gunt1.w;
  MoveThumb(RoundHalfEven(static_cast<double>(position) / duration * range));
}

void Player::ShowTime(int position, int duration) {
  auto& times = main_.times;
  times.SetCaption(FormatDuration(position) + " / " + FormatDuration(duration));
  // Its right edge stays at the player area's, whatever the width of its text.
  times.Move(main_.qvod.w - times.w - 13, 2);
}

void Player::ShowPlayTip(const char* tip) {
  // The picture says what the tool tip says: a click does what both show.
  main_.bo_but[0].tooltip = tip;
  PaintButton(0, Hovered(0));
}

void Player::Timer1_Timer() {
  auto& band = main_.huan;
  if (!Loaded()) {
    ShowPlayTip("播放");
    status_.Show("准备就绪");
    band.x = -30;
    return;
  }
  PlayerControl& p = *control();
  // Back to the one-second beat once the item plays (or has had its chance to).
  if (main_.Timer1.interval() != kPollMs &&
      (p.PlayState() == kStatePlaying || ++startingTicks_ * kStartingPollMs >= 5 * kPollMs)) {
    main_.Timer1.SetInterval(kPollMs);
  }

  const int position = p.Position();
  const int duration = p.Duration();
  const bool nearEnd = position > duration - 2 && position > 0;
  if (endPosition_ && *endPosition_ != position) endPosition_.reset();
  // Once the end was handled, a player that stays at the end (ours does) must not
  // start the end handling over and over, nor lose the position it left for a stop.
  if (!(nearEnd && endPosition_)) {
    playback_.PlayPosition = position;
    if (nearEnd) {
      // The last two seconds are seen by two ticks: the end is announced at the
      // first, when the end handling is armed, not once a second.
      const bool announced = main_.Timer2.enabled();
      main_.Timer2.SetEnabled(true);
      if (!BalloonsOn()) return;
      if (!announced && ShutdownArmed()) {
        Balloon("即将播放完毕，正准备自动关机！");
      } else if (!announced && NextEpisodeKnown(episodes_.NextEpisodePage)) {
        Balloon("正在准备播放下一集！");
      }
    }
  }

  playback_.DownloadRate = p.DownloadSpeed();

  if (p.DownloadProgress() > 601 && episodes_.NextEpisodeUrl != "1" && episodes_.NextPrefetchStarted == 0) {
    if (episodes_.NextEpisodeUrl != "0") {
      p.PrepareNext(episodes_.NextEpisodeUrl);
      episodes_.NextPrefetchStarted = 1;
      if (BalloonsOn()) Balloon("开始缓冲下一集！");
    } else {
      ports_.episodes.ResolveNextEpisode();
    }
  }

  playback_.LastPlayState = p.PlayState();
  if (playback_.LastPlayState == kStatePlaying) {
    if (playback_.ResumePosition > 0 && playback_.ResumeApplied == 0) {
      if (p.Position() < playback_.ResumePosition) p.SetPosition(playback_.ResumePosition);
      playback_.ResumeApplied = 1;
    }
    main_.bo_ad.visible = false;
    main_.QvodC.visible = true;
    playback_.ResumePosition = p.Position();
    KeepPosition(playback_.ResumePosition);
    main_.next_s.visible = false;
    ShowPlayTip("暂停");
    if (playback_.DownloadRate < 1 || p.Position() <= 6) {
      status_.Show("播放中(" + std::to_string(p.BitRate()) + " Kbps)");
    } else {
      status_.Show("播放中(" + std::to_string(playback_.DownloadRate) + " Kbps/S)");
    }
  } else {
    main_.bo_ad.visible = true;
    main_.QvodC.visible = false;
  }

  switch (playback_.LastPlayState) {
    case kStateIdle:
    case kStateStopped:
    case kStatePaused:
      status_.Show(StatusOf(playback_.LastPlayState));
      ShowPlayTip("播放");
      break;
    case kStateBuffering:
      status_.Show("正在缓冲 (" + std::to_string(playback_.DownloadRate) + "Kbps/S)");
      break;
    case kStateConnecting:
      status_.Show("正在连接 (" + std::to_string(playback_.DownloadRate) + "KB/S)");
      break;
    default:
      if (const char* text = StatusOf(playback_.LastPlayState)) status_.Show(text);
      break;
  }

  if (p.OpenFailed()) ReportOpenFailure();

  const int now = p.Position();
  const int length = p.Duration();
  if (!seekGrab_) {
    ShowTime(now, length);
    PlaceThumb(now, length);
    main_.gunt1.tooltip = FormatDuration(now);
  }

  const int progress = p.DownloadProgress();
  if (progress > 0) {
    const auto& track = main_.gunt;
    band.Move(0, 0, RoundHalfEven(static_cast<double>(track.w) * progress / 1000), track.h);
  } else {
    band.x = -30;
    band.w = 0;
  }
}

void Player::ReportOpenFailure() {
  // The player reads such an item as finished; "播放完毕" would tell the user that
  // a film played which never did.
  status_.Show(kOpenFailedStatus);
  if (openFailureReported_) return;
  openFailureReported_ = true;
  if (playback_.PlaySource == 2) {
    Balloon("无法打开要播放的文件：" + control()->Url());
  } else {
    Balloon("无法打开“" + title_.Text() + "”，请检查网络连接后重试！");
  }
}

void Player::Timer2_Timer() {
  main_.bo_ad.visible = true;
  main_.QvodC.visible = false;
  status_.Show("播放完毕");
  main_.Timer2.SetEnabled(false);
  if (control()) endPosition_ = control()->Position();

  if (ShutdownArmed()) {
    main_.Timer1.SetEnabled(false);
    ShutDownSystem(ports_.power, true);
    return;
  }

  playback_.ResumePosition = 1;
  playback_.PlayPosition = 1;
  const std::string& next = episodes_.NextEpisodePage;
  if (next == "3") {
    main_.Navigate2("Web2", kNextEpisodeMarker);
  } else if (NextEpisodeKnown(next)) {
    main_.Timer1.SetEnabled(false);
    main_.next_s.visible = true;
    main_.Navigate2("Web2", kNextEpisodeMarker);
  }
}

}  // namespace tavlin::player
